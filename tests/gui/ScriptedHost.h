#pragma once
// A modal host for the GUI tests: answers from queues and records what the
// editor asked, so the real window runs without anyone at the screen.

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/CModalHost.h"
#include "view/ModelSelectDlg.h"

namespace pelagor::guitest {

struct Shared {
  struct Message {
    std::string text;
    MessageIcon icon;
  };
  std::vector<Message> messages;
  // Answers of the questions (boxes with more than OK); a box with only OK,
  // or an empty queue, gets OK.
  std::deque<MessageAnswer> messageAnswers;
  std::deque<std::optional<std::string>> openAnswers;  // nullopt: cancel
  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<std::optional<int>> modelAnswers;  // radio position, nullopt: Cancel
  std::vector<int> modelPreselections;          // position the dialog was opened with
  std::deque<SaveChangesAnswer> leaveAnswers;
  // Every other dialog: its kind is recorded, and the next answer fills the
  // model and says OK or Cancel.
  std::vector<DialogKind> dialogs;
  std::deque<std::function<DialogAnswer(DialogModel)>> dialogAnswers;
  int leaveQuestions = 0;
};

class ScriptedHost : public CModalHost {
 public:
  explicit ScriptedHost(Shared& s) : s_(s) {}

  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) override {
    s_.messages.push_back({text, icon});
    if (buttons == MessageButtons::kOk || s_.messageAnswers.empty()) return MessageAnswer::kOk;
    const MessageAnswer a = s_.messageAnswers.front();
    s_.messageAnswers.pop_front();
    return a;
  }
  DialogAnswer RunDialog(DialogModel model) override {
    auto* const* m = std::get_if<ModelSelectDlg*>(&model);
    if (m == nullptr) {
      s_.dialogs.push_back(KindOf(model));
      if (s_.dialogAnswers.empty()) {
        ADD_FAILURE() << "unexpected dialog " << model.index();
        return DialogAnswer::kCancel;
      }
      auto answer = std::move(s_.dialogAnswers.front());
      s_.dialogAnswers.pop_front();
      return answer(model);
    }
    if (s_.modelAnswers.empty()) {
      ADD_FAILURE() << "unexpected dialog " << model.index();
      return DialogAnswer::kCancel;
    }
    s_.modelPreselections.push_back((*m)->position);
    const std::optional<int> answer = s_.modelAnswers.front();
    s_.modelAnswers.pop_front();
    if (!answer) return DialogAnswer::kCancel;
    (*m)->position = *answer;
    return DialogAnswer::kOk;
  }
  std::optional<std::string> AskOpenFile(const FileRequest&) override { return Pop(s_.openAnswers, "open"); }
  std::optional<std::string> AskSaveFile(const FileRequest&) override { return Pop(s_.saveAnswers, "save"); }
  SaveChangesAnswer AskSaveChanges() override {
    ++s_.leaveQuestions;
    if (s_.leaveAnswers.empty()) {
      ADD_FAILURE() << "unexpected save-changes question";
      return SaveChangesAnswer::kCancel;
    }
    const SaveChangesAnswer a = s_.leaveAnswers.front();
    s_.leaveAnswers.pop_front();
    return a;
  }

 private:
  static std::optional<std::string> Pop(std::deque<std::optional<std::string>>& q, const char* what) {
    if (q.empty()) {
      ADD_FAILURE() << "unexpected " << what << " file dialog";
      return std::nullopt;
    }
    std::optional<std::string> a = q.front();
    q.pop_front();
    return a;
  }
  Shared& s_;
};

}  // namespace pelagor::guitest
