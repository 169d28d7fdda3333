// The workspace file commands through the view: the choosers, the model
// dialog, every message and the title in each state.

#include <gtest/gtest.h>

#include <filesystem>

#include "FakeViewUi.h"
#include "ViewFixture.h"
#include "samples/SampleWorkspaces.h"
#include "support/SectionBytes.h"
#include "files/WorkspaceLoad.h"
#include "view/ModelSelectDlg.h"

namespace pelagor::test {
namespace {

using Names = std::vector<std::string>;

// Answers the model dialog: checks the preselected position, then picks one.
std::function<DialogAnswer(DialogModel)> ModelAnswer(int expectPreselected, int choose, bool ok = true) {
  return [=](DialogModel m) {
    ModelSelectDlg* dlg = std::get<ModelSelectDlg*>(m);
    EXPECT_EQ(dlg->position, expectPreselected);
    dlg->position = choose;
    return ok ? DialogAnswer::kOk : DialogAnswer::kCancel;
  };
}

class ViewFile : public ::testing::Test {
 protected:
  void SetUp() override {
    view.SetSideFileFolder(dir.Path());
    view.OnInitialUpdate();
  }
  // Writes a workspace with the project's writer and returns its path.
  std::string WriteFile(const std::string& name, const Workspace& ws) {
    const std::string path = dir.File(name);
    EXPECT_EQ(WriteDownloadImage(ws, path), 1);
    return path;
  }
  bool Open(const std::string& path) {
    ui.openAnswers.push_back(path);
    const size_t before = ui.messages.size();
    view.OnFileOpen();
    return ui.messages.size() == before;
  }

  ScratchDir dir;
  FakeViewUi ui;
  CVortanView view{ui};
};

TEST_F(ViewFile, OpenCancelledAndUnreadable) {
  view.OnFileOpen();
  ASSERT_EQ(ui.openRequests.size(), 1u);
  const FileRequest& r = ui.openRequests[0];
  EXPECT_EQ(r.defaultExtension, "bin");
  EXPECT_EQ(r.initialName, "*.bin");
  EXPECT_EQ(r.filter,
            "Download image(*.bin)|*.bin|Channel template(*.csv)|*.csv|Main Only(*.rom)|*.rom|All files(*.*)|*.*|");
  EXPECT_TRUE(r.hideReadOnly);
  EXPECT_TRUE(r.overwritePrompt);
  ui.openAnswers.push_back(dir.File("missing.bin"));
  view.OnFileOpen();
  ASSERT_EQ(ui.MessageTexts(), (Names{"File Open Failed !", "File Open Error !!!"}));
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kStop);
  EXPECT_EQ(ui.messages[1].icon, MessageIcon::kStop);
  EXPECT_FALSE(view.Loaded());
  EXPECT_FALSE(view.File().fileOpen);
  EXPECT_EQ(ui.title, "Pelagor - No File");
}

TEST_F(ViewFile, OpenTakesOverFileStateListsAndTitle) {
  const std::string path = WriteFile("small.bin", SmallWorkspace(3));
  ASSERT_TRUE(Open(path));
  EXPECT_TRUE(view.Loaded());
  EXPECT_TRUE(view.File().fileOpen);
  EXPECT_FALSE(view.Modified());
  EXPECT_EQ(view.File().path, path);
  EXPECT_EQ(view.File().fileName, "small.bin");
  // The folder keeps the separator the path had ("\\" on Windows).
  EXPECT_EQ(view.File().folder, dir.Path() + char(std::filesystem::path::preferred_separator));
  EXPECT_EQ(ui.title, "[VM3920HD] small.bin");
  EXPECT_EQ(view.GetWorkspace().model, 3);
  EXPECT_GT(view.RowCount(), 0);
  EXPECT_EQ(view.ChannelCell(0, kColName), "Das Erste HD");
  EXPECT_EQ(view.ChannelCell(0, kColProvider), "ARD");
  EXPECT_FALSE(ui.combos[ComboId::kSatellite].empty());
  EXPECT_TRUE(std::filesystem::exists(dir.File("dump_sat_info.bin")));
  // The TP marked new in the file was merged into the catalogue.
  bool found = false;
  for (const CatalogueEntry& e : view.GetWorkspace().catalogue.entries)
    for (const CatalogueTp& t : e.tps) found = found || t.frequency == 10992;
  EXPECT_TRUE(found);
}

TEST_F(ViewFile, RejectedFileLeavesEverythingAsItWas) {
  ASSERT_TRUE(Open(WriteFile("small.bin", SmallWorkspace(1))));
  const Workspace before = view.GetWorkspace();
  const FileState fileBefore = view.File();
  const std::string titleBefore = ui.title;
  // A main-software image: its section is "HDMAINSW".
  const std::string rom = dir.File("main.rom");
  test::WriteFile(rom, SectionBytes("HDMAINSW", std::vector<uint8_t>(64, 0x5A)));
  // A good channel section followed by garbage: the first section must not stick.
  Workspace other = SmallWorkspace(2);
  std::vector<uint8_t> mixed = BuildDownloadImage(other);
  mixed.resize(mixed.size() + 17, 0xEE);
  const std::string bad = dir.File("mixed.bin");
  test::WriteFile(bad, mixed);
  for (const std::string& p : {rom, bad}) {
    ui.messages.clear();
    EXPECT_FALSE(Open(p));
    EXPECT_EQ(ui.MessageTexts(), Names{"Invalid File Format !"}) << p;
    EXPECT_TRUE(*view.GetWorkspace().image == *before.image) << p;
    EXPECT_EQ(view.GetWorkspace().model, before.model);
    EXPECT_EQ(view.File().path, fileBefore.path);
    EXPECT_TRUE(view.File().fileOpen);
    EXPECT_EQ(ui.title, titleBefore);
  }
}

TEST_F(ViewFile, EmptyFileIsAcceptedAndTitledWithItsName) {
  const std::string path = dir.File("empty.bin");
  test::WriteFile(path, {});
  ASSERT_TRUE(Open(path));
  EXPECT_TRUE(view.File().fileOpen);
  EXPECT_EQ(ui.title, "empty.bin");  // no model: no prefix
  EXPECT_EQ(view.RowCount(), 0);
}

TEST_F(ViewFile, TitleInEveryState) {
  EXPECT_EQ(ui.title, "Pelagor - No File");
  ASSERT_TRUE(Open(WriteFile("a.bin", SmallWorkspace(1))));
  EXPECT_EQ(ui.title, "[V3920HD] a.bin");
  view.MarkModified();
  EXPECT_EQ(ui.title, "[V3920HD] a.bin *");
  view.OnFileSave();  // writes to the file: no dialog
  EXPECT_TRUE(ui.dialogsRun.empty());
  EXPECT_TRUE(ui.saveRequests.empty());
  EXPECT_FALSE(view.Modified());
  EXPECT_EQ(ui.title, "[V3920HD] a.bin");
  view.MarkModified();
  ui.saveChangesAnswers.push_back(SaveChangesAnswer::kDiscard);  // New keeps the data anyway
  view.OnFileNew();
  EXPECT_EQ(ui.title, "Pelagor - New Channel List *");
  EXPECT_TRUE(view.File().path.empty());
  EXPECT_TRUE(view.File().fileName.empty());
  EXPECT_TRUE(view.Loaded());  // New keeps the data
  EXPECT_GT(view.RowCount(), 0);
  EXPECT_TRUE(view.Modified());
}

TEST_F(ViewFile, SaveWithoutFileIsSaveAs) {
  ASSERT_TRUE(Open(WriteFile("a.bin", SmallWorkspace(1))));
  view.OnFileNew();
  ui.dialogAnswers.push_back(ModelAnswer(3, 3));
  ui.saveAnswers.push_back(dir.File("b.bin"));
  view.OnFileSave();
  EXPECT_EQ(ui.dialogsRun, std::vector<DialogKind>{DialogKind::kModelSelect});
  ASSERT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_EQ(ui.saveRequests[0].filter, "Binary Data(*.bin)|*.bin|All Files (*.*)|*.*||");
  EXPECT_EQ(ui.saveRequests[0].defaultExtension, "bin");
  EXPECT_TRUE(std::filesystem::exists(dir.File("b.bin")));
  EXPECT_EQ(ui.title, "[V3920HD] b.bin");
}

struct PreselectCase {
  ModelId model;
  int position;
};

class ViewPreselect : public ViewFile, public ::testing::WithParamInterface<PreselectCase> {};

TEST_P(ViewPreselect, ModelDialogStartsAtTheWorkspacesModelAndCancelRestoresIt) {
  ASSERT_TRUE(Open(WriteFile("m.bin", SmallWorkspace(GetParam().model))));
  ui.dialogAnswers.push_back(ModelAnswer(GetParam().position, 0, /*ok=*/false));
  view.OnFileSaveAs();
  EXPECT_EQ(ui.dialogsRun.size(), 1u);
  EXPECT_TRUE(ui.saveRequests.empty());
  EXPECT_EQ(view.GetWorkspace().model, GetParam().model);
}

INSTANTIATE_TEST_SUITE_P(Models, ViewPreselect,
                         ::testing::Values(PreselectCase{1, 3}, PreselectCase{2, 4}, PreselectCase{3, 5},
                                           PreselectCase{4, 0}, PreselectCase{5, 1}, PreselectCase{6, 2},
                                           PreselectCase{7, 0}));

TEST_F(ViewFile, FileDialogCancelAfterAnotherModelKeepsTheModel) {
  const std::string path = WriteFile("vm.bin", SmallWorkspace(3));
  ASSERT_TRUE(Open(path));
  ui.dialogAnswers.push_back(ModelAnswer(5, 0));  // V44.06HD = model 7
  view.OnFileSaveAs();
  EXPECT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_EQ(view.GetWorkspace().model, 3);
  EXPECT_EQ(view.File().path, path);
  EXPECT_EQ(ui.title, "[VM3920HD] vm.bin");
}

TEST_F(ViewFile, DisabledModelPositionChoosesNothing) {
  ASSERT_TRUE(Open(WriteFile("vm.bin", SmallWorkspace(3))));
  ui.dialogAnswers.push_back(ModelAnswer(5, 2));  // "V66.06HD" is not offered
  view.OnFileSaveAs();
  EXPECT_TRUE(ui.saveRequests.empty());
  EXPECT_EQ(view.GetWorkspace().model, 3);
}

TEST_F(ViewFile, Model8SkipsTheModelDialog) {
  ASSERT_TRUE(Open(WriteFile("m8.bin", SmallWorkspace(8))));
  EXPECT_FALSE(ui.enabled[ControlId::kSatelliteCombo]);
  ui.saveAnswers.push_back(dir.File("m8b.bin"));
  view.OnFileSaveAs();
  EXPECT_TRUE(ui.dialogsRun.empty());
  EXPECT_EQ(view.GetWorkspace().model, 8);
  EXPECT_EQ(ui.title, "[M4406HD] m8b.bin");
}

TEST_F(ViewFile, SaveAsConvertsAndTheFileReopensAsTheNewModel) {
  ASSERT_TRUE(Open(WriteFile("src.bin", SmallWorkspace(1))));
  const Names names = FakeViewUi::Column(view, kColName);
  view.MarkModified();
  ui.dialogAnswers.push_back(ModelAnswer(3, 0));
  const std::string out = dir.File("out.bin");
  ui.saveAnswers.push_back(out);
  view.OnFileSaveAs();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(view.GetWorkspace().model, 7);
  EXPECT_FALSE(view.Modified());
  EXPECT_EQ(ui.title, "[V4406HD] out.bin");

  FakeViewUi ui2;
  CVortanView again(ui2);
  again.SetSideFileFolder(dir.Path());
  again.OnInitialUpdate();
  ui2.openAnswers.push_back(out);
  again.OnFileOpen();
  EXPECT_TRUE(ui2.messages.empty());
  EXPECT_EQ(again.GetWorkspace().model, 7);
  EXPECT_EQ(ui2.title, "[V4406HD] out.bin");
  EXPECT_EQ(FakeViewUi::Column(again, kColName), names);
}

TEST_F(ViewFile, FailedWriteIsReportedAndClearsFileOpen) {
  ASSERT_TRUE(Open(WriteFile("a.bin", SmallWorkspace(1))));
  ui.dialogAnswers.push_back(ModelAnswer(3, 3));
  ui.saveAnswers.push_back(dir.File("no-such-folder/x.bin"));
  view.OnFileSaveAs();
  ASSERT_EQ(ui.MessageTexts(), Names{"File Save Error !!!"});
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kStop);
  EXPECT_FALSE(view.File().fileOpen);
  EXPECT_EQ(ui.title, "Pelagor - New Channel List *");

  // Nothing loaded, nothing to write: "No File".
  FakeViewUi ui2;
  CVortanView empty(ui2);
  empty.OnInitialUpdate();
  ui2.dialogAnswers.push_back(ModelAnswer(0, 3));
  ui2.saveAnswers.push_back(dir.File("nothing.bin"));
  empty.OnFileSave();
  EXPECT_EQ(ui2.MessageTexts(), Names{"File Save Error !!!"});
  EXPECT_EQ(ui2.title, "Pelagor - No File");
}

TEST_F(ViewFile, PathWithoutSeparatorIsNotCut) {
  ASSERT_TRUE(Open(WriteFile("a.bin", SmallWorkspace(1))));
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  ui.dialogAnswers.push_back(ModelAnswer(3, 3));
  ui.saveAnswers.push_back("plain.bin");
  view.OnFileSaveAs();
  std::filesystem::current_path(cwd);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(view.File().fileName, "plain.bin");
  EXPECT_EQ(view.File().folder, "");
  EXPECT_EQ(ui.title, "[V3920HD] Pelagor - plain.bin");
}

// The whole path a user takes: open the demo, look around, save for another
// model, reopen.
TEST_F(ViewFile, DemoEndToEnd) {
  const std::string demo = WriteFile("demo.bin", DemoWorkspace());
  ASSERT_TRUE(Open(demo));
  const int all = view.RowCount();
  ASSERT_GT(all, 0);
  view.OnSatFilterChanged(1);
  const int onFirst = view.RowCount();
  EXPECT_LE(onFirst, all);
  for (int line = 0; line < int(ui.combos[ComboId::kSatellite].size()); ++line) {
    view.OnSatelliteComboChanged(line);
    EXPECT_EQ(view.State().satComboSelection, line);
    for (int r = 0; r < view.RowCount(); ++r) ASSERT_NE(view.ChannelCell(r, kColSatellite), "");
  }
  view.OnSatFilterChanged(0);
  view.OnServiceTypeButton(ServiceType::kRadio);
  view.OnServiceTypeButton(ServiceType::kTv);
  view.OnDeliveryTypeButton(0, kDvbC);
  view.OnDeliveryTypeButton(0, kDvbT);
  EXPECT_EQ(ui.tpRows.size(), 57u);
  view.OnDeliveryTypeButton(1, kDvbT);
  view.OnTuner2Button();
  view.OnDeliveryTypeButton(0, kDvbS);
  EXPECT_EQ(view.State().tunerSelection, 1);
  view.OnCasComboChanged(2);
  view.OnCasComboChanged(0);
  view.OnFavoriteComboChanged(1);
  view.OnFavoriteComboChanged(0);
  EXPECT_EQ(view.RowCount(), all);
  EXPECT_TRUE(ui.messages.empty());

  ui.dialogAnswers.push_back(ModelAnswer(3, 1));  // V55.06HD
  ui.saveAnswers.push_back(dir.File("demo-5.bin"));
  view.OnFileSaveAs();
  EXPECT_EQ(ui.title, "[V5506HD] demo-5.bin");
  ASSERT_TRUE(Open(dir.File("demo-5.bin")));
  EXPECT_EQ(view.GetWorkspace().model, 5);
  EXPECT_EQ(view.RowCount(), all);
}

}  // namespace
}  // namespace pelagor::test

namespace pelagor::test {
namespace {

TEST_F(ViewFile, ReceivedImageLoadsLikeOpenButIsNotTheOpenFile) {
  // Nothing received: nothing changes.
  EXPECT_FALSE(view.LoadReceivedImage({}));
  EXPECT_FALSE(view.Loaded());
  EXPECT_EQ(ui.title, "Pelagor - No File");
  // A rejected stream: no message, nothing taken over.
  EXPECT_FALSE(view.LoadReceivedImage(std::vector<uint8_t>(100, 0x33)));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(view.Loaded());

  ASSERT_TRUE(view.LoadReceivedImage(BuildDownloadImage(SmallWorkspace(2))));
  EXPECT_TRUE(view.Loaded());
  EXPECT_FALSE(view.File().fileOpen);
  EXPECT_TRUE(view.Modified());  // nothing of it is on disk
  EXPECT_EQ(ui.title, "Pelagor - New Channel List *");
  EXPECT_EQ(view.GetWorkspace().model, 2);
  EXPECT_EQ(view.ChannelCell(0, kColName), "Das Erste HD");

  // With a file open, the received data leave it: Save asks for a file and
  // the open file stays as it was.
  const std::string path = WriteFile("own.bin", SmallWorkspace(1));
  ui.saveChangesAnswers.push_back(SaveChangesAnswer::kDiscard);
  ASSERT_TRUE(Open(path));
  std::vector<uint8_t> before;
  ASSERT_TRUE(ReadWholeFile(path, before));
  ASSERT_TRUE(view.LoadReceivedImage(BuildDownloadImage(SmallWorkspace(3))));
  EXPECT_TRUE(view.File().path.empty());
  EXPECT_FALSE(view.File().fileOpen);
  EXPECT_EQ(view.File().fileName, "own.bin");  // only as Save As's suggestion
  EXPECT_EQ(ui.title, "Pelagor - New Channel List *");
  ui.dialogAnswers.push_back(ModelAnswer(5, 5));
  ui.saveAnswers.push_back(dir.File("from-receiver.bin"));
  view.OnFileSave();
  ASSERT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_EQ(ui.saveRequests[0].initialName, path);
  std::vector<uint8_t> after;
  ASSERT_TRUE(ReadWholeFile(path, after));
  EXPECT_EQ(after, before);
  Workspace reread;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadWholeFile(dir.File("from-receiver.bin"), bytes));
  ASSERT_TRUE(ParseDownloadImage(reread, bytes.data(), bytes.size()).accepted);
  EXPECT_EQ(reread.model, 3);
}

}  // namespace
}  // namespace pelagor::test
