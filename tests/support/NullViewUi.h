#pragma once
// A screen for driving the view where nothing is watched: the benchmarks' screen
// (and views loaded on it), and the base of the fuzz target's, which answers from
// the fuzzer's input.

#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "samples/SampleWorkspaces.h"
#include "view/CVortanView.h"
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

 protected:
  std::vector<int> sel_[2];  // by ListId
};

// A view with a workspace loaded, on a null screen.
struct LoadedView {
  explicit LoadedView(Workspace ws) : view(ui) {
    view.OnInitialUpdate();
    view.LoadWorkspace(std::move(ws));
  }
  NullViewUi ui;
  CVortanView view;
};

// The full workspace's TV list (the larger half of TV and radio).
struct FullView : LoadedView {
  FullView() : LoadedView(FullWorkspace(1)) { view.OnServiceTypeButton(ServiceType::kTv); }
};

}  // namespace pelagor
