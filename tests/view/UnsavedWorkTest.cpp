// What the view does so that unsaved work is never lost: the question before
// it would be replaced, received data kept apart from the open file, the
// backup before the first overwrite, and the recovery copy.

#include <gtest/gtest.h>

#include <filesystem>

#include "FakeViewUi.h"
#include "ViewFixture.h"
#include "files/FileBackup.h"
#include "files/WorkspaceLoad.h"
#include "samples/SampleWorkspaces.h"
#include "view/ModelSelectDlg.h"

namespace pelagor::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadBytes(const std::string& path) {
  Bytes b;
  EXPECT_TRUE(ReadWholeFile(path, b)) << path;
  return b;
}

DialogAnswer KeepModel(DialogModel) { return DialogAnswer::kOk; }

class UnsavedWork : public ::testing::Test {
 protected:
  void SetUp() override {
    view.SetSideFileFolder(dir.Path());
    view.OnInitialUpdate();
    a = dir.File("a.bin");
    b = dir.File("b.bin");
    ASSERT_EQ(WriteDownloadImage(SmallWorkspace(1), a), 1);
    ASSERT_EQ(WriteDownloadImage(SmallWorkspace(2), b), 1);
    aBytes = ReadBytes(a);
  }
  void Open(const std::string& path) {
    ui.openAnswers.push_back(path);
    view.OnFileOpen();
  }
  // A real edit: the first channel renamed, through the command's ending.
  void Edit(const char* name = "EDITED") {
    ASSERT_EQ(view.Ops().SetChanName(view.ChannelOfRow(0), name), 0);
    view.MarkModified();
  }

  ScratchDir dir;
  FakeViewUi ui;
  CVortanView view{ui};
  std::string a, b;
  Bytes aBytes;
};

// Open and New with unsaved changes, each answer: what happens to the file
// that was open, and to the workspace.
TEST_F(UnsavedWork, OpenAndNewAskFirstAndEachAnswerDoesWhatItSays) {
  struct Case {
    const char* what;
    bool open;  // Open b.bin, else New
    SaveChangesAnswer answer;
    bool aWritten;
    std::string pathAfter;  // "" none
    bool modifiedAfter;
  };
  const Case cases[] = {
      {"open, save", true, SaveChangesAnswer::kSave, true, "b", false},
      {"open, discard", true, SaveChangesAnswer::kDiscard, false, "b", false},
      {"open, cancel", true, SaveChangesAnswer::kCancel, false, "a", true},
      {"new, save", false, SaveChangesAnswer::kSave, true, "", false},
      {"new, discard", false, SaveChangesAnswer::kDiscard, false, "", true},
      {"new, cancel", false, SaveChangesAnswer::kCancel, false, "a", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::WriteFile(a, aBytes);
    Open(a);
    ASSERT_FALSE(view.Modified());
    Edit();
    const Bytes edited = BuildDownloadImage(view.GetWorkspace());
    ui.saveChangesQuestions = 0;
    ui.saveChangesAnswers.push_back(c.answer);
    if (c.open)
      Open(b);
    else
      view.OnFileNew();
    EXPECT_EQ(ui.saveChangesQuestions, 1);
    EXPECT_EQ(ReadBytes(a), c.aWritten ? edited : aBytes);
    const std::string expectPath = c.pathAfter == "a" ? a : c.pathAfter == "b" ? b : "";
    EXPECT_EQ(view.File().path, expectPath);
    EXPECT_EQ(view.Modified(), c.modifiedAfter);
    if (c.pathAfter == "a") {
      // Cancel: the edit is still there and still unsaved.
      EXPECT_EQ(BuildDownloadImage(view.GetWorkspace()), edited);
      EXPECT_EQ(ui.title, "[V3920HD] a.bin *");
      EXPECT_TRUE(view.CanUndo());
    }
    if (c.pathAfter == "b") {
      EXPECT_EQ(ui.title, "[VR3920HD] b.bin");  // opened: no " *"
      EXPECT_FALSE(view.CanUndo());
    }
    // Start every case from a clean state.
    ui.saveChangesAnswers.push_back(SaveChangesAnswer::kDiscard);
    Open(b);
    ui.saveChangesAnswers.clear();
  }
}

TEST_F(UnsavedWork, NoQuestionWithoutChangesAndACancelledChooserAsksNothing) {
  Open(a);
  Open(b);
  view.OnFileNew();
  EXPECT_EQ(ui.saveChangesQuestions, 0);
  Open(a);
  Edit();
  view.OnFileOpen();  // chooser cancelled: "File Open Failed !" only
  EXPECT_EQ(ui.saveChangesQuestions, 0);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"File Open Failed !"});
  EXPECT_TRUE(view.Modified());
}

// Save that does not write (Save As cancelled at either dialog, or a write
// that fails) is a Cancel: nothing is replaced.
TEST_F(UnsavedWork, SaveThatDoesNotWriteCountsAsCancel) {
  Open(a);
  view.OnFileNew();  // no file: Save is Save As
  Edit();
  const Bytes edited = BuildDownloadImage(view.GetWorkspace());
  struct Step {
    const char* what;
    bool modelOk;
    std::optional<std::string> file;
  };
  const Step steps[] = {
      {"model dialog cancelled", false, std::nullopt},
      {"file chooser cancelled", true, std::nullopt},
      {"write fails", true, dir.File("no-such-folder/x.bin")},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    ui.saveChangesAnswers.push_back(SaveChangesAnswer::kSave);
    ui.dialogAnswers.push_back([&s](DialogModel) { return s.modelOk ? DialogAnswer::kOk : DialogAnswer::kCancel; });
    if (s.modelOk) ui.saveAnswers.push_back(s.file);
    Open(b);
    EXPECT_TRUE(view.Modified());
    EXPECT_EQ(BuildDownloadImage(view.GetWorkspace()), edited);
    EXPECT_NE(view.File().path, b);
  }
  EXPECT_EQ(ui.openRequests.size(), 4u);
}

// Received data are not the open file: Save asks for a file, proposing the
// old one's folder and name, and a cancel leaves that file as it was.
TEST_F(UnsavedWork, ReceivedDataAreNotTheOpenFile) {
  Open(a);
  ASSERT_TRUE(view.LoadReceivedImage(BuildDownloadImage(SmallWorkspace(3))));
  EXPECT_TRUE(view.Modified());
  EXPECT_FALSE(view.File().fileOpen);
  EXPECT_TRUE(view.File().path.empty());
  EXPECT_EQ(ui.title, "Pelagor - New Channel List *");
  view.OnFileSave();
  ASSERT_EQ(ui.dialogsRun, std::vector<DialogKind>{DialogKind::kModelSelect});  // cancelled there
  ui.dialogAnswers.push_back(KeepModel);
  view.OnFileSave();
  ASSERT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_EQ(ui.saveRequests[0].initialName, a);
  EXPECT_EQ(ReadBytes(a), aBytes);
  EXPECT_TRUE(view.Modified());
  // Saved elsewhere, the received data have a file of their own.
  ui.dialogAnswers.push_back(KeepModel);
  ui.saveAnswers.push_back(dir.File("received.bin"));
  view.OnFileSave();
  EXPECT_FALSE(view.Modified());
  EXPECT_EQ(ui.title, "[VM3920HD] received.bin");
  EXPECT_EQ(ReadBytes(a), aBytes);
  // Without a file before, Save As proposes nothing.
  FakeViewUi ui2;
  CVortanView fresh(ui2);
  fresh.SetSideFileFolder(dir.Path());
  fresh.OnInitialUpdate();
  ASSERT_TRUE(fresh.LoadReceivedImage(BuildDownloadImage(SmallWorkspace(3))));
  ui2.dialogAnswers.push_back(KeepModel);
  fresh.OnFileSave();
  ASSERT_EQ(ui2.saveRequests.size(), 1u);
  EXPECT_EQ(ui2.saveRequests[0].initialName, "*.bin");
}

// The first Save after opening keeps the old file as NAME.bak; later saves
// leave that backup alone; opening again starts over.
TEST_F(UnsavedWork, FirstSaveKeepsABackup) {
  const std::string bak = a + ".bak";
  EXPECT_EQ(BackupPathFor(a), bak);
  test::WriteFile(bak, {1, 2, 3});  // an older backup is replaced
  Open(a);
  Edit("FIRST");
  view.OnFileSave();
  ASSERT_TRUE(ui.messages.empty());
  EXPECT_EQ(ReadBytes(bak), aBytes);
  const Bytes first = ReadBytes(a);
  EXPECT_NE(first, aBytes);
  Edit("SECOND");
  view.OnFileSave();
  EXPECT_EQ(ReadBytes(bak), aBytes);
  const Bytes second = ReadBytes(a);
  EXPECT_NE(second, first);
  Open(a);
  Edit("THIRD");
  view.OnFileSave();
  EXPECT_EQ(ReadBytes(bak), second);
  // Save As over another existing file keeps that one too.
  const Bytes bBytes = ReadBytes(b);
  ui.dialogAnswers.push_back(KeepModel);
  ui.saveAnswers.push_back(b);
  view.OnFileSaveAs();
  EXPECT_EQ(ReadBytes(b + ".bak"), bBytes);
  // A new file has nothing to keep.
  ui.dialogAnswers.push_back(KeepModel);
  ui.saveAnswers.push_back(dir.File("new.bin"));
  view.OnFileSaveAs();
  EXPECT_TRUE(fs::exists(dir.File("new.bin")));
  EXPECT_FALSE(fs::exists(dir.File("new.bin.bak")));
  EXPECT_TRUE(ui.messages.empty());
}

// A backup that cannot be made stops the save: the old file stays as it
// was. (A folder in the backup's place defeats even root.)
TEST_F(UnsavedWork, BackupThatCannotBeMadeStopsTheSave) {
  fs::create_directory(a + ".bak");
  Open(a);
  Edit();
  view.OnFileSave();
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"File Save Error !!!"});
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kStop);
  EXPECT_EQ(ReadBytes(a), aBytes);
  EXPECT_TRUE(fs::is_directory(a + ".bak"));
  EXPECT_TRUE(view.Modified());
  EXPECT_FALSE(view.File().fileOpen);
  for (const auto& e : fs::directory_iterator(dir.Path()))
    EXPECT_EQ(e.path().string().find("pelagor-tmp"), std::string::npos) << e.path();
}

// The recovery copy holds the unsaved workspace and its file, and opens as
// that workspace again, modified.
TEST_F(UnsavedWork, RecoveryCopyRoundTrip) {
  RecoveryCopy copy;
  EXPECT_FALSE(view.FillRecoveryCopy(copy));  // nothing loaded
  Open(a);
  EXPECT_FALSE(view.FillRecoveryCopy(copy));  // nothing unsaved
  const uint64_t before = view.ChangeCount();
  Edit();
  EXPECT_NE(view.ChangeCount(), before);
  ASSERT_TRUE(view.FillRecoveryCopy(copy));
  EXPECT_EQ(copy.path, a);
  EXPECT_EQ(copy.model, 1);
  const Bytes edited = BuildDownloadImage(view.GetWorkspace());
  EXPECT_EQ(copy.image, edited);
  const uint64_t afterEdit = view.ChangeCount();
  view.OnEditUndo();
  EXPECT_NE(view.ChangeCount(), afterEdit);
  EXPECT_FALSE(view.FillRecoveryCopy(copy = RecoveryCopy{}));  // undone to the saved state

  copy.image = edited;
  copy.model = 1;
  copy.path = a;
  FakeViewUi ui2;
  CVortanView other(ui2);
  other.SetSideFileFolder(dir.Path());
  other.OnInitialUpdate();
  ASSERT_TRUE(other.OpenRecoveryCopy(copy));
  EXPECT_EQ(BuildDownloadImage(other.GetWorkspace()), edited);
  EXPECT_TRUE(other.Modified());
  EXPECT_TRUE(other.File().fileOpen);
  EXPECT_EQ(other.File().path, a);
  EXPECT_EQ(ui2.title, "[V3920HD] a.bin *");
  EXPECT_FALSE(other.CanUndo());
  // Its first Save writes the original file, keeping the old one as backup.
  other.OnFileSave();
  EXPECT_EQ(ReadBytes(a), edited);
  EXPECT_EQ(ReadBytes(a + ".bak"), aBytes);
  // A copy without a file opens as the new channel list.
  copy.path.clear();
  ASSERT_TRUE(other.OpenRecoveryCopy(copy));
  EXPECT_FALSE(other.File().fileOpen);
  EXPECT_EQ(ui2.title, "Pelagor - New Channel List *");
  copy.image = {1, 2, 3};
  EXPECT_FALSE(other.OpenRecoveryCopy(copy));
  EXPECT_EQ(BuildDownloadImage(other.GetWorkspace()), edited);
}

}  // namespace
}  // namespace pelagor::test
