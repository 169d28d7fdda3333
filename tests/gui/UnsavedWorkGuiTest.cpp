// The real main window asks before unsaved work is replaced: Open, a recent
// file and New with "Save changes to the channel list?", and each answer.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/CMainFrame.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "files/DownloadImage.h"
#include "gui/GuiFixture.h"
#include "gui/MainWindowFixture.h"
#include "gui/ScriptedHost.h"
#include "view/CVortanView.h"

namespace pelagor::guitest {
namespace {

QByteArray ReadAll(const std::string& path) {
  QFile f(QString::fromStdString(path));
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using UnsavedWorkGui = MainWindowFixture;

TEST_F(UnsavedWorkGui, OpenRecentFileAndNewAskAndEachAnswerDoesWhatItSays) {
  enum class Command { kOpen, kRecent, kNew };
  struct Case {
    const char* what;
    Command command;
    SaveChangesAnswer answer;
  };
  const Case cases[] = {
      {"open, save", Command::kOpen, SaveChangesAnswer::kSave},
      {"open, discard", Command::kOpen, SaveChangesAnswer::kDiscard},
      {"open, cancel", Command::kOpen, SaveChangesAnswer::kCancel},
      {"recent, save", Command::kRecent, SaveChangesAnswer::kSave},
      {"recent, discard", Command::kRecent, SaveChangesAnswer::kDiscard},
      {"recent, cancel", Command::kRecent, SaveChangesAnswer::kCancel},
      {"new, save", Command::kNew, SaveChangesAnswer::kSave},
      {"new, discard", Command::kNew, SaveChangesAnswer::kDiscard},
      {"new, cancel", Command::kNew, SaveChangesAnswer::kCancel},
  };
  const std::string a = Path("a.bin");
  const std::string b = Path("b.bin");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WriteFixture(a, 1));
    ASSERT_TRUE(WriteFixture(b, 2));
    const QByteArray aBefore = ReadAll(a);
    QSettings().remove("Recent File List");
    host_ = Shared{};
    CMainFrame& f = Start({QString::fromStdString(a)});
    f.NoteRecentFile(QString::fromStdString(b));  // b on top, a below it
    ASSERT_FALSE(View().Modified());
    EXPECT_FALSE(Title().endsWith(" *")) << Title().toStdString();
    // An edit as the user makes it: the first channel one row down.
    f.Form()->SelectRows(ListId::kChannels, {0});
    f.MoveDownAction()->trigger();
    ASSERT_TRUE(View().Modified());
    ASSERT_TRUE(Title().endsWith(" *"));
    const std::vector<uint8_t> edited = BuildDownloadImage(View().GetWorkspace());

    host_.leaveAnswers.push_back(c.answer);
    switch (c.command) {
      case Command::kOpen:
        host_.openAnswers.push_back(b);
        f.OpenAction()->trigger();
        break;
      case Command::kRecent:
        ASSERT_EQ(f.RecentActions()[0]->data().toString(), QString::fromStdString(b));
        f.RecentActions()[0]->trigger();
        break;
      case Command::kNew: f.NewAction()->trigger(); break;
    }
    EXPECT_EQ(host_.leaveQuestions, 1);
    EXPECT_TRUE(host_.messages.empty());
    const bool saved = c.answer == SaveChangesAnswer::kSave;
    const bool cancelled = c.answer == SaveChangesAnswer::kCancel;
    // The file that was open holds the edit only when Save was the answer.
    if (saved) {
      EXPECT_EQ(ReadAll(a), QByteArray(reinterpret_cast<const char*>(edited.data()), int(edited.size())));
    } else {
      EXPECT_EQ(ReadAll(a), aBefore);
    }
    if (cancelled) {
      EXPECT_EQ(View().File().path, a);
      EXPECT_TRUE(View().Modified());
      EXPECT_EQ(BuildDownloadImage(View().GetWorkspace()), edited);
      EXPECT_TRUE(Title().endsWith("a.bin *")) << Title().toStdString();
      EXPECT_TRUE(f.UndoAction()->isEnabled());
    } else if (c.command == Command::kNew) {
      EXPECT_TRUE(View().File().path.empty());
      EXPECT_EQ(Title(), "Pelagor - New Channel List *");
      EXPECT_EQ(BuildDownloadImage(View().GetWorkspace()), edited);  // New keeps the data
      EXPECT_EQ(View().Modified(), !saved);
    } else {
      // b is open as it is on disk: not modified, no " *", nothing to undo.
      EXPECT_EQ(View().File().path, b);
      EXPECT_FALSE(View().Modified());
      EXPECT_EQ(Title(), "[VR3920HD] b.bin");
      EXPECT_FALSE(f.UndoAction()->isEnabled());
    }
    // Leaving: only a Cancel kept unsaved work.
    host_.leaveAnswers.push_back(SaveChangesAnswer::kDiscard);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(host_.leaveQuestions, View().Modified() ? 2 : 1);
    app_.reset();
  }
}

}  // namespace
}  // namespace pelagor::guitest
