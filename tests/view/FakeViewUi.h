#pragma once
// A scripted screen for driving CVortanView: it holds the selection of both
// lists, answers dialogs, message boxes and file choosers from queues, and
// records everything the view shows.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "view/CVortanView.h"
#include "view/ViewUi.h"

namespace pelagor::test {

struct ShownMessage {
  std::string text;
  MessageIcon icon;
  MessageButtons buttons;
};

class FakeViewUi : public ViewUi {
 public:
  // ---- recorded ----
  std::vector<ListColumn> channelColumns;
  int channelRows = 0;
  int channelResets = 0;
  int channelRefreshes = 0;
  std::vector<ListColumn> tpColumns;
  std::vector<std::vector<std::string>> tpRows;
  int tpFills = 0;
  std::map<ListId, std::vector<int>> selection;
  std::map<ComboId, std::vector<std::string>> combos;
  std::map<ComboId, int> comboSelection;
  std::map<ControlId, bool> checks;
  std::map<ControlId, bool> enabled;
  std::map<ControlId, std::string> captions;
  std::string title;
  std::vector<ShownMessage> messages;
  std::vector<DialogKind> dialogsRun;
  std::vector<FileRequest> openRequests;
  std::vector<FileRequest> saveRequests;

  // ---- scripted ----
  std::deque<MessageAnswer> messageAnswers;  // default kOk / kYes
  // Each answer sees the model and may fill it.
  std::deque<std::function<DialogAnswer(DialogModel)>> dialogAnswers;
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  // "Save changes to the channel list?": each question is counted and the
  // next answer given; none scripted is a test fault (Cancel).
  std::deque<SaveChangesAnswer> saveChangesAnswers;
  int saveChangesQuestions = 0;
  // The transfer dialog the commands get (none by default).
  TransferUi* transferUi = nullptr;

  void SetChannelColumns(const std::vector<ListColumn>& columns) override { channelColumns = columns; }
  void ResetChannelList(int rowCount) override {
    channelRows = rowCount;
    ++channelResets;
    selection[ListId::kChannels].clear();
  }
  void RefreshChannelList() override { ++channelRefreshes; }
  void FillTpList(const std::vector<ListColumn>& columns, const std::vector<std::vector<std::string>>& rows) override {
    tpColumns = columns;
    tpRows = rows;
    ++tpFills;
    selection[ListId::kTransponders].clear();
  }
  void SelectRows(ListId list, const std::vector<int>& rows) override { selection[list] = rows; }
  std::vector<int> SelectedRows(ListId list) const override {
    auto it = selection.find(list);
    return it == selection.end() ? std::vector<int>{} : it->second;
  }
  void FillCombo(ComboId combo, const std::vector<std::string>& items) override {
    combos[combo] = items;
    comboSelection[combo] = -1;
  }
  void SelectComboItem(ComboId combo, int index) override { comboSelection[combo] = index; }
  void SetCheck(ControlId control, bool checked) override { checks[control] = checked; }
  void Enable(ControlId control, bool on) override { enabled[control] = on; }
  void SetCaption(ControlId control, const std::string& text) override { captions[control] = text; }
  void SetWindowTitle(const std::string& text) override { title = text; }
  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
    messages.push_back({text, icon, buttons});
    if (!messageAnswers.empty()) {
      MessageAnswer a = messageAnswers.front();
      messageAnswers.pop_front();
      return a;
    }
    return buttons == MessageButtons::kYesNo || buttons == MessageButtons::kYesNoCancel ? MessageAnswer::kYes
                                                                                        : MessageAnswer::kOk;
  }
  DialogAnswer RunDialog(DialogModel model) override {
    dialogsRun.push_back(KindOf(model));
    if (dialogAnswers.empty()) return DialogAnswer::kCancel;
    auto answer = std::move(dialogAnswers.front());
    dialogAnswers.pop_front();
    return answer(model);
  }
  std::optional<std::string> AskOpenFile(const FileRequest& request) override {
    openRequests.push_back(request);
    if (openAnswers.empty()) return std::nullopt;
    auto a = openAnswers.front();
    openAnswers.pop_front();
    return a;
  }
  std::optional<std::string> AskSaveFile(const FileRequest& request) override {
    saveRequests.push_back(request);
    if (saveAnswers.empty()) return std::nullopt;
    auto a = saveAnswers.front();
    saveAnswers.pop_front();
    return a;
  }

  SaveChangesAnswer AskSaveChanges() override {
    ++saveChangesQuestions;
    if (saveChangesAnswers.empty()) {
      ADD_FAILURE() << "unexpected save-changes question";
      return SaveChangesAnswer::kCancel;
    }
    const SaveChangesAnswer a = saveChangesAnswers.front();
    saveChangesAnswers.pop_front();
    return a;
  }

  TransferUi* TransferDialog() override { return transferUi; }

  // ---- helpers ----
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : messages) out.push_back(m.text);
    return out;
  }
  // One column of the channel list as the screen would read it.
  static std::vector<std::string> Column(const CVortanView& view, int column) {
    std::vector<std::string> out;
    for (int r = 0; r < view.RowCount(); ++r) out.push_back(view.ChannelCell(r, column));
    return out;
  }
  std::vector<std::string> TpColumn(size_t column) const {
    std::vector<std::string> out;
    for (const auto& r : tpRows) out.push_back(column < r.size() ? r[column] : "");
    return out;
  }
};

}  // namespace pelagor::test
