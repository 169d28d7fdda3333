#pragma once
// The view benchmarks' screen.

#include <optional>
#include <string>
#include <vector>

#include "view/ViewUi.h"

namespace pelagor {

// A screen that shows nothing and keeps only the selection.
class NullViewUi : public ViewUi {
 public:
  void SetChannelColumns(const std::vector<ListColumn>&) override {}
  void ResetChannelList(int) override {}
  void RefreshChannelList() override {}
  void FillTpList(const std::vector<ListColumn>&, const std::vector<std::vector<std::string>>&) override {}
  void SelectRows(ListId list, const std::vector<int>& rows) override { sel_[int(list)] = rows; }
  std::vector<int> SelectedRows(ListId list) const override { return sel_[int(list)]; }
  void FillCombo(ComboId, const std::vector<std::string>&) override {}
  void SelectComboItem(ComboId, int) override {}
  void SetCheck(ControlId, bool) override {}
  void Enable(ControlId, bool) override {}
  void SetCaption(ControlId, const std::string&) override {}
  void SetWindowTitle(const std::string&) override {}
  MessageAnswer ShowMessage(const std::string&, MessageIcon, MessageButtons) override { return MessageAnswer::kOk; }
  DialogAnswer RunDialog(DialogModel) override { return DialogAnswer::kCancel; }
  std::optional<std::string> AskOpenFile(const FileRequest&) override { return path; }
  std::optional<std::string> AskSaveFile(const FileRequest&) override { return std::nullopt; }

  std::string path;

 private:
  std::vector<int> sel_[2];
};

}  // namespace pelagor
