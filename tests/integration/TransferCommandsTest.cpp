// The view's transfer commands against the built receiver simulator (our engine
// and lrzsz as its ZMODEM half) through the built line simulator, with the
// scripted screen; and the cases that must send nothing, on a bare pty.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Zmodem32/CTransferDlg.h"
#include "files/DownloadImage.h"
#include "files/WorkspaceLoad.h"
#include "samples/SampleWorkspaces.h"
#include "support/PtyLine.h"
#include "view/FakeViewUi.h"
#include "integration/SimulatedReceiver.h"
#include "zmodem/ZmodemTestSupport.h"

namespace pelagor::test {
namespace {

namespace fs = std::filesystem;
using zmtest::Bytes;

constexpr const char* kDownloadSuccess =
    "Download Success !\n\nDo not power off the receiver until reboot automatically !";

// Our waits: 2 s on a silent line, no pauses.
LinkTiming PcTiming() {
  LinkTiming t = zmtest::FastTiming(5, 400);
  t.infoReplyWaitMs = 3000;
  return t;
}

std::function<DialogAnswer(DialogModel)> PickPort(const std::string& path) {
  return [path](DialogModel m) {
    std::get<CComPortDlg*>(m)->SetPortText(path);
    return DialogAnswer::kOk;
  };
}

DialogAnswer AcceptDialog(DialogModel) { return DialogAnswer::kOk; }

Bytes DemoBytes() { return BuildDownloadImage(DemoWorkspace()); }

// The bytes Save would write for what the reader makes of these bytes.
Bytes Normalised(const Bytes& bytes) {
  Workspace ws;
  EXPECT_EQ(ApplyDownloadImage(ws, bytes.data(), bytes.size()), LoadResult::kLoaded);
  return BuildDownloadImage(ws);
}

ino_t Inode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// A transfer dialog that presses Stop once the bar has moved.
class StoppingTransferUi : public zmtest::FakeTransferUi {
 public:
  StoppingTransferUi() {
    stopAtPercent = 1;
    onStop = [this] {
      if (CTransferDlg* d = dlg.load()) d->Stop();
    };
  }
  void RunModal(CTransferDlg& d) override {
    dlg = &d;
    d.WaitForWorker();
    dlg = nullptr;
  }
  std::atomic<CTransferDlg*> dlg{nullptr};
};

class TransferCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir.Path().empty());
    oldCwd = fs::current_path();
    view.SetSideFileFolder(dir.Path());
  }
  // The commands change the current directory on purpose; tests put it back.
  void TearDown() override {
    std::error_code ec;
    fs::current_path(oldCwd, ec);
  }
  void Connect(const std::string& port) {
    ui.dialogAnswers.push_back(PickPort(port));
    view.OnLinkConnect();
    ASSERT_TRUE(view.Connected());
  }
  std::string File(const std::string& name) const { return dir.File(name); }

  zmtest::TempDir dir;
  fs::path oldCwd;
  FakeViewUi ui;
  CVortanView view{ui, PcTiming()};
};

// ---- Against the simulator, with either ZMODEM half on its side ----

class TransferRoundTrip : public TransferCommands, public ::testing::WithParamInterface<const char*> {};

TEST_P(TransferRoundTrip, UploadEditDownloadAndUploadAgain) {
  const std::string saved = File("stb-received.bin");
  SimulatedReceiver stb({"--peer", GetParam(), "--save-received", saved});
  ASSERT_TRUE(stb.Ok());
  Connect(stb.PcPort());

  // Upload to Workspace: the simulator's channel data become the workspace.
  view.OnUploadToWorkspace();
  EXPECT_EQ(stb.Sim().WaitFor("UPLOAD "), "0");
  ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
  ASSERT_TRUE(view.Loaded());
  EXPECT_EQ(BuildDownloadImage(view.GetWorkspace()), Normalised(DemoBytes()));
  EXPECT_GT(view.RowCount(), 0);
  EXPECT_TRUE(fs::exists(File(std::string(kSatelliteDumpName))));
  EXPECT_FALSE(view.File().fileOpen);
  EXPECT_TRUE(view.Modified());  // not on disk yet
  EXPECT_TRUE(view.IsCommandEnabled(kIdDownloadWorkspace));

  // Edit a channel, then Download Workspace: never saved, so Save As first.
  ASSERT_EQ(view.Ops().SetChanName(view.ChannelOfRow(0), "EDITED ONE"), 0);
  view.MarkModified();
  ui.dialogAnswers.push_back(AcceptDialog);  // the model
  ui.saveAnswers.push_back(File("workspace.bin"));
  view.OnDownloadWorkspace();
  EXPECT_EQ(ui.saveRequests.size(), 1u);
  ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{kDownloadSuccess});
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kInformation);
  const auto received = stb.Sim().WaitFor("RECEIVED ");
  ASSERT_TRUE(received);
  EXPECT_NE(received->find("CHANNELS"), std::string::npos) << *received;
  EXPECT_EQ(stb.Sim().WaitFor("DOWNLOAD "), "0");
  // The simulator holds exactly the workspace's file.
  const Bytes onDisk = zmtest::ReadFile(File("workspace.bin"));
  EXPECT_EQ(zmtest::ReadFile(saved), onDisk);
  EXPECT_FALSE(view.Modified());
  EXPECT_EQ(fs::current_path(), dir.Path());

  // What it sends now is the edited workspace.
  ui.messages.clear();
  view.OnFileNew();
  view.OnUploadToWorkspace();
  EXPECT_EQ(stb.Sim().WaitFor("UPLOAD "), "0");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(view.ChannelCell(0, kColName), "EDITED ONE");
  EXPECT_EQ(BuildDownloadImage(view.GetWorkspace()), Normalised(onDisk));
  EXPECT_TRUE(view.Connected());
}

TEST_P(TransferRoundTrip, DownloadFileSendsASoftwareImageAndLeavesTheWorkspace) {
  const std::string saved = File("stb-received.bin");
  SimulatedReceiver stb({"--peer", GetParam(), "--save-received", saved});
  ASSERT_TRUE(stb.Ok());
  Connect(stb.PcPort());
  ASSERT_TRUE(zmtest::WriteFile(File("demo.bin"), DemoBytes()));
  ASSERT_TRUE(view.OpenFile(File("demo.bin")));
  const std::string title = ui.title;

  fs::create_directory(File("sw"));
  const Bytes software = zmtest::RandomBytes(200 * 1024 + 17, 5);
  ASSERT_TRUE(zmtest::WriteFile(File("sw/main_v2.rom"), software));
  ui.openAnswers.push_back(File("sw/main_v2.rom"));
  view.OnDownloadFile();
  ASSERT_EQ(ui.openRequests.size(), 1u);
  EXPECT_EQ(ui.openRequests[0].filter,
            "Download image(*.bin)|*.bin|Channel template(*.csv)|*.csv|Main Only(*.rom)|*.rom|All files(*.*)|*.*|");
  ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{kDownloadSuccess});
  EXPECT_EQ(stb.Sim().WaitFor("RECEIVED "), std::to_string(software.size()) + " FILE");
  EXPECT_EQ(zmtest::ReadFile(saved), software);
  EXPECT_EQ(fs::current_path(), fs::path(File("sw")));
  // The workspace keeps its own file.
  EXPECT_EQ(ui.title, title);
  EXPECT_EQ(view.File().path, File("demo.bin"));
  EXPECT_EQ(view.File().fileName, "demo.bin");
  // Save still writes the workspace's own file, not one in the sent file's folder.
  view.MarkModified();
  view.OnFileSave();
  EXPECT_FALSE(view.Modified());
  EXPECT_EQ(zmtest::ReadFile(File("demo.bin")), BuildDownloadImage(view.GetWorkspace()));
  EXPECT_FALSE(fs::exists(File("sw/demo.bin")));
}

INSTANTIATE_TEST_SUITE_P(Peers, TransferRoundTrip, ::testing::Values("engine", "lrzsz"));

TEST_F(TransferCommands, UploadFileTakesWhatTheReceiverSendsUnannounced) {
  ASSERT_TRUE(zmtest::WriteFile(File("stb.bin"), DemoBytes()));
  SimulatedReceiver stb({"--send-now", "--workspace", File("stb.bin")});
  ASSERT_TRUE(stb.Ok());
  Connect(stb.PcPort());
  view.OnUploadFile();
  EXPECT_EQ(stb.Sim().WaitFor("UPLOAD "), "0");
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_TRUE(view.Loaded());
  EXPECT_EQ(BuildDownloadImage(view.GetWorkspace()), Normalised(DemoBytes()));
}

TEST_F(TransferCommands, SavedUnmodifiedWorkspaceIsSentWithoutRewriting) {
  const std::string saved = File("stb-received.bin");
  SimulatedReceiver stb({"--save-received", saved});
  ASSERT_TRUE(stb.Ok());
  Connect(stb.PcPort());
  // A file as this editor saves it: it holds exactly the workspace.
  const Bytes file = Normalised(DemoBytes());
  ASSERT_TRUE(zmtest::WriteFile(File("ws.bin"), file));
  ASSERT_TRUE(view.OpenFile(File("ws.bin")));
  ASSERT_EQ(BuildDownloadImage(view.GetWorkspace()), file);
  const ino_t before = Inode(File("ws.bin"));

  view.OnDownloadWorkspace();
  ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{kDownloadSuccess});
  EXPECT_TRUE(ui.saveRequests.empty());
  EXPECT_EQ(Inode(File("ws.bin")), before);  // not replaced
  ASSERT_TRUE(stb.Sim().WaitFor("RECEIVED "));
  EXPECT_EQ(zmtest::ReadFile(saved), file);

  // With unsaved changes the file is rewritten first, and that is what goes.
  ASSERT_EQ(view.Ops().SetChanName(view.ChannelOfRow(0), "CHANGED"), 0);
  view.MarkModified();
  view.OnDownloadWorkspace();
  EXPECT_NE(Inode(File("ws.bin")), before);
  EXPECT_FALSE(view.Modified());
  ASSERT_TRUE(stb.Sim().WaitFor("RECEIVED "));
  EXPECT_EQ(zmtest::ReadFile(saved), zmtest::ReadFile(File("ws.bin")));
  EXPECT_NE(zmtest::ReadFile(saved), file);
}

// After Upload to Workspace the open file is not the workspace any more:
// Download Workspace asks for a file, sends exactly what was received, and
// the file that was open stays as it was.
TEST_F(TransferCommands, ReceivedDataAreSentAsReceivedAndTheOldFileStays) {
  const std::string saved = File("stb-received.bin");
  SimulatedReceiver stb({"--save-received", saved});
  ASSERT_TRUE(stb.Ok());
  Connect(stb.PcPort());
  const std::string old = File("old.bin");
  ASSERT_EQ(WriteDownloadImage(SmallWorkspace(1), old), 1);
  const Bytes oldBytes = zmtest::ReadFile(old);
  ASSERT_TRUE(view.OpenFile(old));

  view.OnUploadToWorkspace();  // nothing unsaved: no question
  EXPECT_EQ(ui.saveChangesQuestions, 0);
  EXPECT_EQ(stb.Sim().WaitFor("UPLOAD "), "0");
  ASSERT_TRUE(ui.messages.empty()) << ui.messages[0].text;
  EXPECT_TRUE(view.Modified());
  EXPECT_FALSE(view.File().fileOpen);
  EXPECT_EQ(ui.title, "Pelagor - New Channel List *");
  const Bytes received = BuildDownloadImage(view.GetWorkspace());
  EXPECT_EQ(received, Normalised(DemoBytes()));

  // Save As, cancelled: nothing is written and nothing sent.
  ui.dialogAnswers.push_back(AcceptDialog);
  view.OnDownloadWorkspace();
  ASSERT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_EQ(ui.saveRequests[0].initialName, old);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(zmtest::ReadFile(old), oldBytes);
  // Saved under a new name, the received data go back unchanged.
  ui.dialogAnswers.push_back(AcceptDialog);
  ui.saveAnswers.push_back(File("from-stb.bin"));
  view.OnDownloadWorkspace();
  ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{kDownloadSuccess});
  ASSERT_TRUE(stb.Sim().WaitFor("RECEIVED "));
  EXPECT_EQ(stb.Sim().WaitFor("DOWNLOAD "), "0");
  EXPECT_EQ(zmtest::ReadFile(saved), received);
  EXPECT_EQ(zmtest::ReadFile(File("from-stb.bin")), received);
  EXPECT_EQ(zmtest::ReadFile(old), oldBytes);
  EXPECT_FALSE(fs::exists(old + ".bak"));
}

// A file that no longer holds the workspace (changed on disk since it was
// opened) is not what goes: the workspace does, and the file is not touched.
TEST_F(TransferCommands, WorkspaceNotTheFileOnDiskIsSentAsTheWorkspace) {
  const std::string saved = File("stb-received.bin");
  SimulatedReceiver stb({"--save-received", saved});
  ASSERT_TRUE(stb.Ok());
  Connect(stb.PcPort());
  const Bytes other = BuildDownloadImage(SmallWorkspace(1));
  struct Case {
    const char* what;
    Bytes opened;   // the file when it was opened
    bool changeIt;  // replaced on disk after that
  };
  // The demo as generated reads back into a workspace this writer lays out
  // differently (the catalogue merge), so even unchanged it is not the workspace.
  const Case cases[] = {{"laid out by another writer", DemoBytes(), false},
                        {"changed on disk since", Normalised(DemoBytes()), true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui.messages.clear();
    ASSERT_TRUE(zmtest::WriteFile(File("ws.bin"), c.opened));
    ASSERT_TRUE(view.OpenFile(File("ws.bin")));
    const Bytes workspace = BuildDownloadImage(view.GetWorkspace());
    if (c.changeIt) {
      ASSERT_TRUE(zmtest::WriteFile(File("ws.bin"), other));
    }
    const Bytes onDisk = zmtest::ReadFile(File("ws.bin"));
    ASSERT_NE(onDisk, workspace);
    view.OnDownloadWorkspace();
    ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{kDownloadSuccess});
    ASSERT_TRUE(stb.Sim().WaitFor("RECEIVED "));
    EXPECT_EQ(stb.Sim().WaitFor("DOWNLOAD "), "0");
    EXPECT_EQ(zmtest::ReadFile(saved), workspace);
    EXPECT_EQ(zmtest::ReadFile(File("ws.bin")), onDisk);
    EXPECT_TRUE(ui.saveRequests.empty());
    // The current directory is not left in the scratch folder.
    EXPECT_TRUE(fs::exists(fs::current_path()));
  }
}

TEST_F(TransferCommands, StopDuringADownloadIsCancelledAndTheLinkStays) {
  SimulatedReceiver stb({});
  ASSERT_TRUE(stb.Ok());
  Connect(stb.PcPort());
  ASSERT_TRUE(zmtest::WriteFile(File("big.rom"), zmtest::RandomBytes(700 * 1024, 9)));
  StoppingTransferUi dialog;
  ui.transferUi = &dialog;
  ui.openAnswers.push_back(File("big.rom"));
  view.OnDownloadFile();
  ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{"Download Cancelled !"});
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kStop);
  EXPECT_EQ(dialog.caption, "Downloading to STB...");
  const auto status = stb.Sim().WaitFor("DOWNLOAD ");
  ASSERT_TRUE(status);
  EXPECT_NE(*status, "0");

  // Still connected, and the receiver still answers.
  EXPECT_TRUE(view.Connected());
  ui.transferUi = nullptr;
  ui.dialogAnswers.push_back(AcceptDialog);
  view.OnReceiverInfo();
  EXPECT_EQ(ui.dialogsRun.back(), DialogKind::kReceiverInfo);
  EXPECT_EQ(ui.messages.size(), 1u);
}

struct UploadCase {
  const char* name;
  Bytes channelData;  // what the simulator sends
  std::vector<std::string> messages;
};
void PrintTo(const UploadCase& c, std::ostream* os) { *os << c.name; }

class UploadOutcome : public TransferCommands, public ::testing::WithParamInterface<UploadCase> {};

// An upload that delivers nothing, or bytes the reader rejects, leaves the
// loaded workspace exactly as it was.
TEST_P(UploadOutcome, LeavesTheWorkspaceAsItWas) {
  const UploadCase& c = GetParam();
  ASSERT_TRUE(zmtest::WriteFile(File("stb.bin"), c.channelData));
  SimulatedReceiver stb({"--workspace", File("stb.bin")});
  ASSERT_TRUE(stb.Ok());
  Connect(stb.PcPort());
  ASSERT_TRUE(zmtest::WriteFile(File("ws.bin"), DemoBytes()));
  ASSERT_TRUE(view.OpenFile(File("ws.bin")));
  ASSERT_EQ(view.Ops().SetChanName(view.ChannelOfRow(0), "UNSAVED"), 0);
  view.MarkModified();
  const Bytes before = BuildDownloadImage(view.GetWorkspace());
  const std::string title = ui.title;

  ui.saveChangesAnswers.push_back(SaveChangesAnswer::kDiscard);
  view.OnUploadToWorkspace();
  EXPECT_EQ(ui.saveChangesQuestions, 1);
  EXPECT_EQ(stb.Sim().WaitFor("UPLOAD "), "0");
  EXPECT_EQ(ui.MessageTexts(), c.messages);
  for (const auto& m : ui.messages) EXPECT_EQ(m.icon, MessageIcon::kStop);
  EXPECT_EQ(BuildDownloadImage(view.GetWorkspace()), before);
  EXPECT_TRUE(view.Modified());
  EXPECT_EQ(ui.title, title);
}

INSTANTIATE_TEST_SUITE_P(Streams, UploadOutcome,
                         ::testing::Values(UploadCase{"empty", {}, {}},
                                           UploadCase{
                                               "rejected", zmtest::RandomBytes(5000, 3), {"Invalid File Format !"}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Cases that must send nothing at all: a bare pty shows every byte ----

class TransferSendsNothing : public TransferCommands {
 protected:
  void SetUp() override {
    TransferCommands::SetUp();
    ASSERT_TRUE(pty.Ok());
    Connect(pty.Path());
  }
  PtyLine pty{PtyLine::kMainEndOnly};
};

TEST_F(TransferSendsNothing, UnopenableFileShowsFileOpenFailed) {
  for (const std::string& path : {File("missing.bin"), dir.Path()}) {
    SCOPED_TRACE(path);
    ui.messages.clear();
    ui.openAnswers.push_back(path);
    view.OnDownloadFile();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"File Open Failed !"});
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::kStop);
    EXPECT_TRUE(pty.Receive(100).empty());
  }
  // Cancelling the chooser ends the command quietly.
  ui.messages.clear();
  view.OnDownloadFile();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(pty.Receive(100).empty());
}

// Unsaved work and Upload to Workspace: Cancel at the question, or a Save
// that does not happen, tells the receiver nothing.
TEST_F(TransferSendsNothing, UploadCancelledAtTheSaveQuestion) {
  ASSERT_TRUE(zmtest::WriteFile(File("ws.bin"), DemoBytes()));
  ASSERT_TRUE(view.OpenFile(File("ws.bin")));
  view.OnFileNew();
  ASSERT_EQ(view.Ops().SetChanName(view.ChannelOfRow(0), "UNSAVED"), 0);
  view.MarkModified();
  const Bytes before = BuildDownloadImage(view.GetWorkspace());
  ui.saveChangesAnswers.push_back(SaveChangesAnswer::kCancel);
  view.OnUploadToWorkspace();
  ui.saveChangesAnswers.push_back(SaveChangesAnswer::kSave);  // Save As, cancelled at the model
  view.OnUploadToWorkspace();
  ui.saveChangesAnswers.push_back(SaveChangesAnswer::kCancel);
  view.OnUploadFile();
  EXPECT_EQ(ui.saveChangesQuestions, 3);
  EXPECT_EQ(ui.dialogsRun.back(), DialogKind::kModelSelect);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(pty.Receive(100).empty());
  EXPECT_EQ(BuildDownloadImage(view.GetWorkspace()), before);
  EXPECT_TRUE(view.Modified());
}

TEST_F(TransferSendsNothing, NeverSavedWorkspaceCancelledInSaveAs) {
  ASSERT_TRUE(view.LoadReceivedImage(DemoBytes()));
  // Cancel at the model dialog, then at the file chooser.
  view.OnDownloadWorkspace();
  ui.dialogAnswers.push_back(AcceptDialog);
  view.OnDownloadWorkspace();
  EXPECT_EQ(std::count(ui.dialogsRun.begin(), ui.dialogsRun.end(), DialogKind::kModelSelect), 2);
  EXPECT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(view.File().fileOpen);
  EXPECT_TRUE(pty.Receive(100).empty());
}

TEST_F(TransferSendsNothing, FailedRewriteShowsFileSaveErrorAndSendsNothing) {
  fs::create_directory(File("gone"));
  const std::string path = File("gone/ws.bin");
  ASSERT_TRUE(zmtest::WriteFile(path, DemoBytes()));
  ASSERT_TRUE(view.OpenFile(path));
  view.MarkModified();
  fs::remove_all(File("gone"));  // the rewrite has nowhere to go
  view.OnDownloadWorkspace();
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"File Save Error !!!"});
  EXPECT_FALSE(view.File().fileOpen);
  EXPECT_TRUE(pty.Receive(100).empty());
}

}  // namespace
}  // namespace pelagor::test
