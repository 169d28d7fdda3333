// The link face of the main window: the Link menu and its toolbar buttons, the
// port and information dialogs, the transfer dialog driven by a worker thread,
// and Connect / Receiver Information / Disconnect against the receiver
// simulator behind the line simulator.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "Zmodem32/CTransferDlg.h"
#include "app/CComPortDialog.h"
#include "app/CMainFrame.h"
#include "app/CSimulatedReceiver.h"
#include "app/CStbInfoDialog.h"
#include "app/CTransferDialog.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "files/DownloadImage.h"
#include "gui/GuiFixture.h"
#include "gui/ScriptedHost.h"
#include "link/CComPortDlg.h"
#include "link/CSTBInfoDlg.h"
#include "view/CVortanView.h"
#include "view/CommandIds.h"

namespace pelagor::guitest {
namespace {

// Saves a widget's picture when PELAGOR_GRAB_DIR is set, to look at the dialogs.
void Grab(QWidget& w, const char* name) {
  const QByteArray dir = qgetenv("PELAGOR_GRAB_DIR");
  if (dir.isEmpty()) return;
  w.adjustSize();
  w.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QString(name) + ".png"));
}

// Runs fn on the first modal dialog of type T once it is up, from inside its
// own event loop. The bound only keeps a broken test from hanging.
template <typename T>
void WhenModal(std::function<void(T&)> fn) {
  auto tries = std::make_shared<int>(0);
  auto poll = std::make_shared<std::function<void()>>();
  *poll = [fn, tries, poll] {
    if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
      fn(*w);
      return;
    }
    if (++*tries > 1000) {
      ADD_FAILURE() << "no " << T::staticMetaObject.className() << " came up";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
      return;
    }
    QTimer::singleShot(10, *poll);
  };
  QTimer::singleShot(0, *poll);
}

// The scripted host, also answering the two link dialogs.
struct LinkShared : Shared {
  std::deque<std::optional<std::string>> portAnswers;  // typed into the port combo
  std::vector<std::vector<std::string>> portLists;     // the lists the dialog offered
  std::vector<CSTBInfoDlg> infoShown;
};

class LinkHost : public ScriptedHost {
 public:
  explicit LinkHost(LinkShared& s) : ScriptedHost(s), s_(s) {}
  DialogAnswer RunDialog(DialogModel model) override {
    if (auto* const* port = std::get_if<CComPortDlg*>(&model)) {
      s_.portLists.push_back((*port)->Ports());
      if (s_.portAnswers.empty()) {
        ADD_FAILURE() << "unexpected port dialog";
        return DialogAnswer::kCancel;
      }
      const std::optional<std::string> a = s_.portAnswers.front();
      s_.portAnswers.pop_front();
      if (!a) return DialogAnswer::kCancel;
      (*port)->SetPortText(*a);
      return DialogAnswer::kOk;
    }
    if (auto* const* info = std::get_if<CSTBInfoDlg*>(&model)) {
      s_.infoShown.push_back(**info);
      return DialogAnswer::kOk;
    }
    // Save As of a received workspace: its own model, unless a test says otherwise.
    if (std::holds_alternative<ModelSelectDlg*>(model) && s_.modelAnswers.empty()) return DialogAnswer::kOk;
    return ScriptedHost::RunDialog(model);
  }

 private:
  LinkShared& s_;
};

// The simulator as the tests run it: no line pace and no pauses, a known
// identity, the demo workspace, and each file it receives kept at savePath.
CSimulatedReceiver::Config TestSimulator(const QString& savePath = {}) {
  CSimulatedReceiver::Config c = CSimulatedReceiver::DefaultConfig();
  c.baud = 0;
  c.extraArgs = {"--model", "VR39.40HD", "--boot", "B2.07", "--main", "M5.00.113", "--no-pauses"};
  if (!savePath.isEmpty()) c.extraArgs << "--save-received" << savePath;
  return c;
}

// The program's waits, but a whole reply ends the wait for the information
// block at once, so its bound can leave room for a loaded machine.
LinkTiming RoomyTiming() {
  LinkTiming t;
  t.infoReplyWaitMs = 20000;
  return t;
}

// Every cell of the channel list, as the window shows it.
std::vector<std::vector<std::string>> ChannelTable(const CVortanView& view) {
  std::vector<std::vector<std::string>> rows;
  for (int r = 0; r < view.RowCount(); ++r) {
    std::vector<std::string> row;
    for (int c = 0; c <= kColProvider; ++c) row.push_back(view.ChannelCell(r, c));
    rows.push_back(std::move(row));
  }
  return rows;
}

// Waits (bounded) until the simulator has reported a line starting with word.
bool SimReported(CSimulatedReceiver& sim, const QByteArray& word, qsizetype from = 0) {
  for (int i = 0; i < 2000; ++i) {
    if (sim.Output().indexOf("\n" + word, from) >= 0) return true;
    QTest::qWait(10);
  }
  return false;
}

// Ended and reaped processes are gone from /proc.
bool ProcessExists(qint64 pid) { return QFileInfo::exists(QString("/proc/%1").arg(pid)); }

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class LinkTest : public testing::Test {
 protected:
  CMainFrame& Start(bool scripted = true) {
    app_ = std::make_unique<CVortanApp>();
    if (scripted) app_->SetModalHostFactory([this] { return std::make_unique<LinkHost>(host_); });
    EXPECT_TRUE(app_->Start({"pelagor"}));
    Form().SimulatedReceiver().SetConfig(TestSimulator());
    Form().View().Link().Port().SetTiming(RoomyTiming());
    return *app_->MainFrame();
  }
  CMainFrame& Frame() { return *app_->MainFrame(); }
  CVortanForm& Form() { return *Frame().Form(); }
  QAction* Action(int id) { return Frame().CommandAction(id); }

  LinkShared host_;
  std::unique_ptr<CVortanApp> app_;
};

TEST_F(LinkTest, LinkMenuToolbarPromptsAndEnabling) {
  CMainFrame& f = Start();
  QMenu* link = nullptr;
  for (QAction* a : f.menuBar()->actions())
    if (a->text() == "&Link") link = a->menu();
  ASSERT_NE(link, nullptr);

  struct Row {
    int id;
    const char* text;
    const char* prompt;
    const char* tip;
  };
  const Row rows[] = {
      {kIdLinkConnect, "&Connect...", "Setup Serial Connection", "Connect..."},
      {kIdLinkDisconnect, "&Disconnect", "Close Serial Connection", "Disconnect"},
      {kIdReceiverInfo, "Receiver &Information...", "", "Receiver Information"},
      {kIdDownloadFile, "Download &File...", "Download s/w or data from file to STB", "Download file"},
      {kIdUploadFile, "&Upload File", "Upload data from STB to file", "Upload file"},
      {kIdDownloadWorkspace, "Download &Workspace", "Download channel data of current workspace to STB",
       "Download Workspace"},
      {kIdUploadToWorkspace, "Upload to Wor&kspace", "Upload STB channel data to current workspace",
       "Upload to Workspace"},
  };
  QList<QAction*> inMenu;
  for (QAction* a : link->actions())
    if (!a->isSeparator()) inMenu << a;
  ASSERT_EQ(inMenu.size(), 7);
  const QList<QAction*> onToolbar = f.MainToolBar()->actions();
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    QAction* a = Action(r.id);
    ASSERT_NE(a, nullptr) << r.id;
    EXPECT_EQ(inMenu[int(i)], a) << r.id;
    EXPECT_TRUE(onToolbar.contains(a)) << r.id;
    EXPECT_EQ(a->text(), r.text);
    EXPECT_EQ(a->statusTip(), r.prompt);
    EXPECT_EQ(a->toolTip(), r.tip);
    EXPECT_FALSE(a->icon().isNull()) << r.id;
    // Not connected: only Connect.
    EXPECT_EQ(a->isEnabled(), r.id == kIdLinkConnect) << r.id;
  }
  // Distinct pictures, so the buttons can be told apart.
  for (size_t i = 0; i < std::size(rows); ++i)
    for (size_t j = i + 1; j < std::size(rows); ++j)
      EXPECT_NE(Action(rows[i].id)->icon().pixmap(16, 16).toImage(),
                Action(rows[j].id)->icon().pixmap(16, 16).toImage())
          << rows[i].id << " " << rows[j].id;
  // The prompt shows in the status bar while the pointer is on the button.
  QWidget* connectButton = f.MainToolBar()->widgetForAction(Action(kIdLinkConnect));
  ASSERT_NE(connectButton, nullptr);
  QTest::mouseMove(connectButton);
  EXPECT_EQ(f.statusBar()->currentMessage(), "Setup Serial Connection");
  Grab(*f.MainToolBar(), "toolbar");
  if (!qgetenv("PELAGOR_GRAB_DIR").isEmpty())
    for (const Row& r : rows)
      Action(r.id)->icon().pixmap(16, 16).scaled(64, 64).save(
          QDir(qgetenv("PELAGOR_GRAB_DIR")).filePath(QString("icon%1.png").arg(r.id)));

  // A cancelled port dialog leaves the link as it was.
  host_.portAnswers.push_back(std::nullopt);
  Action(kIdLinkConnect)->trigger();
  EXPECT_FALSE(Form().View().Connected());
  EXPECT_TRUE(Action(kIdLinkConnect)->isEnabled());
  EXPECT_FALSE(Form().SimulatedReceiver().Running());
  // A disabled command does nothing even if triggered.
  Action(kIdLinkDisconnect)->trigger();
  Action(kIdReceiverInfo)->trigger();
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_TRUE(host_.infoShown.empty());
}

TEST_F(LinkTest, PortDialogFace) {
  struct Case {
    const char* what;
    PortNaming naming;
    std::vector<std::string> ports;
    int pick;           // combo index to choose, -1 none
    const char* typed;  // typed text (editable combos only), or null
    bool accept;
    bool chosen;       // OnOK finds a port
    std::string port;  // portName after OnOK
    int number;        // portNumber after OnOK
  };
  const Case cases[] = {
      {"COM names sorted, COM10 picked",
       PortNaming::kComNumber,
       {"COM2", "COM10", "COM1"},
       1,
       nullptr,
       true,
       true,
       "COM10",
       10},
      {"lower-case com7", PortNaming::kComNumber, {"com7"}, 0, nullptr, true, true, "com7", 7},
      {"empty COM list", PortNaming::kComNumber, {}, -1, nullptr, true, false, "preset", 4},
      {"device path picked",
       PortNaming::kDevicePath,
       {"/dev/ttyUSB0", "/dev/ttyS0"},
       1,
       nullptr,
       true,
       true,
       "/dev/ttyUSB0",
       4},
      {"device path typed", PortNaming::kDevicePath, {"/dev/ttyS0"}, 0, " /dev/pts/9 ", true, true, "/dev/pts/9", 4},
      {"empty list, nothing typed", PortNaming::kDevicePath, {}, -1, "", true, false, "preset", 4},
      {"cancel", PortNaming::kDevicePath, {"/dev/ttyS0"}, 0, nullptr, false, true, "/dev/ttyS0", 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CComPortDlg model(c.naming);
    model.portNumber = 4;
    model.portName = "preset";
    model.InitPortList(c.ports);
    CComPortDialog dlg(model);
    EXPECT_EQ(dlg.windowTitle(), "Select COM Port...");
    auto* group = dlg.findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->title(), "Serial Setting");
    auto* label = group->findChild<QLabel*>();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Port");
    QComboBox* combo = dlg.PortCombo();
    EXPECT_EQ(combo->isEditable(), c.naming == PortNaming::kDevicePath);
    ASSERT_EQ(combo->count(), int(model.Ports().size()));
    for (int i = 0; i < combo->count(); ++i) EXPECT_EQ(combo->itemText(i).toStdString(), model.Ports()[size_t(i)]);
    // The first item is selected, whatever the preset port.
    EXPECT_EQ(combo->currentIndex(), combo->count() > 0 ? 0 : -1);
    if (c.pick >= 0) combo->setCurrentIndex(c.pick);
    if (c.typed) combo->setEditText(c.typed);
    if (c.accept) {
      dlg.accept();
      EXPECT_EQ(dlg.result(), QDialog::Accepted);
      EXPECT_EQ(model.OnOK(), c.chosen);
    } else {
      dlg.reject();
      EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    if (c.accept) {
      EXPECT_EQ(model.portName, c.port);
      EXPECT_EQ(model.portNumber, c.number);
    }
  }
  CComPortDlg model(PortNaming::kDevicePath);
  model.InitPortList({"/dev/ttyUSB0", "/dev/ttyS0", CSimulatedReceiver::kPortName});
  CComPortDialog dlg(model);
  Grab(dlg, "port_dialog");
}

TEST_F(LinkTest, InfoDialogFace) {
  CSTBInfoDlg model;
  model.model = std::string(32, 'M');
  model.bootVersion = "B2.07";
  model.mainVersion = "M5.00.113";
  CStbInfoDialog dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "Information");
  auto* group = dlg.findChild<QGroupBox*>();
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), "Receiver Information");
  QStringList labels;
  for (QLabel* l : group->findChildren<QLabel*>()) labels << l->text();
  EXPECT_EQ(labels, (QStringList{"Model", "Boot Ver.", "Main Ver."}));
  EXPECT_EQ(dlg.ModelField()->text(), QString(32, 'M'));
  EXPECT_EQ(dlg.BootField()->text(), "B2.07");
  EXPECT_EQ(dlg.MainField()->text(), "M5.00.113");
  for (QLineEdit* f : {dlg.ModelField(), dlg.BootField(), dlg.MainField()}) EXPECT_TRUE(f->isReadOnly());
  // Bytes from 0x80 are Latin-1 characters, not replacement characters.
  CSTBInfoDlg latin;
  latin.model = "Mod\xE8le \xA9\xFF";
  latin.bootVersion = "\x80\x9F\xA0";
  latin.mainVersion = "V\xB2.\xBD";
  CStbInfoDialog latinDlg(latin);
  EXPECT_EQ(latinDlg.ModelField()->text(), QString::fromUtf8("Mod\u00E8le \u00A9\u00FF"));
  EXPECT_EQ(latinDlg.BootField()->text(), QString::fromUtf16(u"\u0080\u009F\u00A0"));
  EXPECT_EQ(latinDlg.MainField()->text(), QString::fromUtf8("V\u00B2.\u00BD"));
  for (QLineEdit* f : {latinDlg.ModelField(), latinDlg.BootField(), latinDlg.MainField()})
    EXPECT_FALSE(f->text().contains(QChar::ReplacementCharacter));
  const QList<QPushButton*> buttons = dlg.findChildren<QPushButton*>();
  ASSERT_EQ(buttons.size(), 1);
  Grab(dlg, "info_dialog");
  buttons[0]->click();
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

// A worker that talks to the dialog as a ZMODEM session does, from its own thread.
class FakeWorker {
 public:
  FakeWorker(CTransferDlg& host, TransferUi& ui) : host_(host), ui_(ui) {}
  ~FakeWorker() {
    if (thread_.joinable()) thread_.join();
  }
  // Shows one step of progress, then waits for Stop (or ends at once) and ends.
  void Run(bool waitForStop) {
    thread_ = std::thread([this, waitForStop] {
      ui_.SetLabel("Status");
      ui_.SetFileName("demo.bin");
      ui_.SetProgressRange(0, 100);
      ui_.SetProgressPos(50);
      ui_.SetStatusLine("Transferring... : 512 / 1024 bytes (050%)");
      shown_ = true;
      while (waitForStop && !host_.StopFlag()) std::this_thread::yield();
      sawStop_ = host_.StopFlag();
      host_.OnWorkerEnd();
    });
  }
  void Join() { thread_.join(); }
  bool Shown() const { return shown_; }
  bool SawStop() const { return sawStop_; }

 private:
  CTransferDlg& host_;
  TransferUi& ui_;
  std::thread thread_;
  std::atomic<bool> shown_{false};
  std::atomic<bool> sawStop_{false};
};

TEST_F(LinkTest, TransferDialogUpdatesArriveThroughTheEventLoop) {
  CTransferDialog dlg;
  EXPECT_EQ(dlg.windowTitle(), "Data Transfer...");
  EXPECT_EQ(dlg.LabelField()->text(), "File Name");
  EXPECT_EQ(dlg.StopButton()->text(), "&Stop");
  EXPECT_EQ(dlg.ProgressBar()->minimum(), 0);
  EXPECT_EQ(dlg.ProgressBar()->maximum(), 100);
  EXPECT_EQ(dlg.findChildren<QPushButton*>().size(), 1);  // no OK or Cancel

  CTransferDlg host(&dlg);
  host.mode = CTransferDlg::kModeSend;
  dlg.SetCaption("Downloading to STB...");
  FakeWorker worker(host, dlg);
  worker.Run(false);
  worker.Join();
  // The worker is done, but nothing has reached the widgets yet.
  EXPECT_EQ(dlg.windowTitle(), "Data Transfer...");
  EXPECT_EQ(dlg.FileNameField()->text(), "");
  EXPECT_EQ(dlg.ProgressBar()->value(), 0);
  // The modal loop applies the updates in order and ends on the worker's end.
  dlg.RunModal(host);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.windowTitle(), "Downloading to STB...");
  EXPECT_EQ(dlg.LabelField()->text(), "Status");
  EXPECT_EQ(dlg.FileNameField()->text(), "demo.bin");
  EXPECT_EQ(dlg.ProgressBar()->value(), 50);
  EXPECT_EQ(dlg.StatusField()->text(), "Transferring... : 512 / 1024 bytes (050%)");
}

TEST_F(LinkTest, TransferDialogStopsOnStopEscEnterAndCloseBox) {
  struct Case {
    const char* what;
    std::function<void(CTransferDialog&)> stop;
  };
  const Case cases[] = {
      {"Stop button", [](CTransferDialog& d) { QTest::mouseClick(d.StopButton(), Qt::LeftButton); }},
      {"Esc", [](CTransferDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
      {"Enter", [](CTransferDialog& d) { QTest::keyClick(&d, Qt::Key_Return); }},
      {"close box", [](CTransferDialog& d) { d.close(); }},
  };
  CTransferDialog dlg;  // one dialog serves every transfer, as in the window
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CTransferDlg host(&dlg);
    FakeWorker worker(host, dlg);
    bool stillOpenAfterStop = false;
    bool seen = false;
    WhenModal<CTransferDialog>([&](CTransferDialog& d) {
      // Wait until the worker's updates are on screen, then stop.
      auto check = std::make_shared<std::function<void()>>();
      *check = [&, check] {
        if (!worker.Shown() || d.StatusField()->text().isEmpty()) {
          QTimer::singleShot(5, *check);
          return;
        }
        seen = true;
        EXPECT_EQ(d.windowTitle(), "Uploading to PC...");
        EXPECT_EQ(d.LabelField()->text(), "Status");
        EXPECT_EQ(d.FileNameField()->text(), "demo.bin");
        EXPECT_EQ(d.ProgressBar()->value(), 50);
        EXPECT_EQ(d.StatusField()->text(), "Transferring... : 512 / 1024 bytes (050%)");
        Grab(d, "transfer_dialog");
        c.stop(d);
        // The stop only asks: the dialog stays until the worker has ended.
        stillOpenAfterStop = d.isVisible();
      };
      (*check)();
    });
    dlg.SetCaption("Uploading to PC...");
    worker.Run(true);
    dlg.RunModal(host);
    worker.Join();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(stillOpenAfterStop);
    EXPECT_TRUE(worker.SawStop());
    EXPECT_TRUE(host.StopFlag());
    EXPECT_FALSE(dlg.isVisible());
  }
}

TEST_F(LinkTest, SimulatedReceiverConnectInformationDisconnect) {
  ASSERT_TRUE(CSimulatedReceiver::Supported());
  Start();
  CSimulatedReceiver& sim = Form().SimulatedReceiver();
  host_.portAnswers.push_back(std::string(CSimulatedReceiver::kPortName));
  Action(kIdLinkConnect)->trigger();
  ASSERT_EQ(host_.portLists.size(), 1u);
  EXPECT_EQ(host_.portLists[0].back(), CSimulatedReceiver::kPortName);
  ASSERT_TRUE(host_.messages.empty()) << host_.messages[0].text;
  ASSERT_TRUE(Form().View().Connected());
  EXPECT_TRUE(sim.Running());
  EXPECT_EQ(Form().View().Link().PortName(), sim.PortPath().toStdString());
  EXPECT_FALSE(Action(kIdLinkConnect)->isEnabled());
  for (int id : {kIdLinkDisconnect, kIdReceiverInfo, kIdDownloadFile, kIdUploadFile, kIdUploadToWorkspace})
    EXPECT_TRUE(Action(id)->isEnabled()) << id;
  EXPECT_FALSE(Action(kIdDownloadWorkspace)->isEnabled());  // nothing loaded

  Action(kIdReceiverInfo)->trigger();
  ASSERT_EQ(host_.infoShown.size(), 1u);
  EXPECT_EQ(host_.infoShown[0].model, "VR39.40HD");
  EXPECT_EQ(host_.infoShown[0].bootVersion, "B2.07");
  EXPECT_EQ(host_.infoShown[0].mainVersion, "M5.00.113");
  EXPECT_TRUE(sim.Output().contains("QUERY"));

  const QList<qint64> pids = sim.ProcessIds();
  ASSERT_EQ(pids.size(), 2);
  Action(kIdLinkDisconnect)->trigger();
  EXPECT_FALSE(Form().View().Connected());
  EXPECT_FALSE(sim.Running());
  for (qint64 pid : pids) EXPECT_FALSE(ProcessExists(pid)) << pid;
  EXPECT_TRUE(Action(kIdLinkConnect)->isEnabled());
  for (int id :
       {kIdLinkDisconnect, kIdReceiverInfo, kIdDownloadFile, kIdUploadFile, kIdDownloadWorkspace, kIdUploadToWorkspace})
    EXPECT_FALSE(Action(id)->isEnabled()) << id;
}

TEST_F(LinkTest, SimulatedReceiverThroughTheRealDialogs) {
  Start(false);
  WhenModal<CComPortDialog>([](CComPortDialog& d) {
    QComboBox* combo = d.PortCombo();
    const int sim = combo->findText(CSimulatedReceiver::kPortName);
    ASSERT_GE(sim, 0);
    combo->setCurrentIndex(sim);
    d.accept();
  });
  Action(kIdLinkConnect)->trigger();
  ASSERT_TRUE(Form().View().Connected());
  QStringList fields;
  WhenModal<CStbInfoDialog>([&fields](CStbInfoDialog& d) {
    fields << d.ModelField()->text() << d.BootField()->text() << d.MainField()->text();
    d.findChild<QPushButton*>()->click();
  });
  Action(kIdReceiverInfo)->trigger();
  EXPECT_EQ(fields, (QStringList{"VR39.40HD", "B2.07", "M5.00.113"}));
  // Closing the window ends the link and the simulators with it.
  CSimulatedReceiver& sim = Form().SimulatedReceiver();
  EXPECT_TRUE(sim.Running());
  const QList<qint64> pids = sim.ProcessIds();
  ASSERT_EQ(pids.size(), 2);
  for (qint64 pid : pids) EXPECT_TRUE(ProcessExists(pid)) << pid;
  app_.reset();
  for (qint64 pid : pids) EXPECT_FALSE(ProcessExists(pid)) << pid;
}

// Upload to Workspace, an edit, Download Workspace: the simulator then holds
// exactly the file the workspace was saved to, and sends it back on the next upload.
TEST_F(LinkTest, WorkspaceRoundTripThroughTheSimulatedReceiver) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString received = dir.filePath("received.bin");
  const QString saved = dir.filePath("workspace.bin");
  Start();
  CVortanView& view = Form().View();
  // The line has no pace here, so the sender's pauses between subpackets only cost time.
  LinkTiming noPauses = RoomyTiming();
  noPauses.pauseLongMs = noPauses.pauseMediumMs = noPauses.pauseShortMs = 0;
  view.Link().Port().SetTiming(noPauses);
  CSimulatedReceiver::Config config = TestSimulator(received);
  ASSERT_FALSE(config.workspace.isEmpty()) << "demo workspace not built";
  Form().SimulatedReceiver().SetConfig(config);
  host_.portAnswers.push_back(std::string(CSimulatedReceiver::kPortName));
  Action(kIdLinkConnect)->trigger();
  ASSERT_TRUE(view.Connected());

  CSimulatedReceiver& sim = Form().SimulatedReceiver();
  Action(kIdUploadToWorkspace)->trigger();
  ASSERT_TRUE(host_.messages.empty()) << host_.messages[0].text;
  // Its side of the session ends a moment after ours.
  ASSERT_TRUE(SimReported(sim, "UPLOAD 0")) << sim.Output().toStdString();
  ASSERT_TRUE(view.Loaded());
  ASSERT_GT(view.RowCount(), 0);
  EXPECT_TRUE(Action(kIdDownloadWorkspace)->isEnabled());
  const auto uploaded = ChannelTable(view);
  EXPECT_EQ(Form().ChannelTable()->model()->rowCount(), view.RowCount());

  // Lock the first channel, then send the workspace: never saved, so Save As first.
  Form().SelectRows(ListId::kChannels, {0});
  view.OnLockChannels(true);
  ASSERT_TRUE(view.Modified());
  const std::string lockedCell = view.ChannelCell(0, kColLock);
  ASSERT_NE(lockedCell, uploaded[0][kColLock]);
  host_.saveAnswers.push_back(saved.toStdString());
  Action(kIdDownloadWorkspace)->trigger();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "Download Success !\n\nDo not power off the receiver until reboot automatically !");
  EXPECT_EQ(host_.messages[0].icon, MessageIcon::kInformation);
  EXPECT_TRUE(view.Connected());
  const QByteArray sent = ReadAll(saved);
  ASSERT_FALSE(sent.isEmpty());
  // The simulator keeps the file once its side of the session has ended.
  ASSERT_TRUE(SimReported(sim, "DOWNLOAD 0")) << sim.Output().toStdString();
  EXPECT_EQ(ReadAll(received), sent);

  // The receiver's channel data is now the edited workspace.
  const qsizetype before = sim.Output().size();
  Action(kIdUploadToWorkspace)->trigger();
  ASSERT_TRUE(SimReported(sim, "UPLOAD 0", before - 1));
  EXPECT_EQ(host_.messages.size(), 1u);
  ASSERT_EQ(view.RowCount(), int(uploaded.size()));
  EXPECT_EQ(view.ChannelCell(0, kColLock), lockedCell);
  EXPECT_EQ(view.ChannelCell(0, kColName), uploaded[0][kColName]);

  // The first upload showed what opening the simulator's file shows.
  ASSERT_TRUE(view.OpenFile(config.workspace.toStdString()));
  EXPECT_EQ(ChannelTable(view), uploaded);
  Action(kIdLinkDisconnect)->trigger();
  EXPECT_FALSE(Form().SimulatedReceiver().Running());
}

QByteArray AsBytes(const std::vector<uint8_t>& v) {
  return QByteArray(reinterpret_cast<const char*>(v.data()), qsizetype(v.size()));
}

// The receiver has seen no frame since mark: a query after the command is
// answered, and nothing came before it.
void ExpectNothingSentSince(CMainFrame& frame, CSimulatedReceiver& sim, qsizetype mark) {
  frame.CommandAction(kIdReceiverInfo)->trigger();
  ASSERT_TRUE(SimReported(sim, "INFO", mark - 1)) << sim.Output().toStdString();
  const QByteArray since = sim.Output().mid(mark);
  EXPECT_FALSE(since.contains("PEER")) << since.toStdString();
  EXPECT_FALSE(since.contains("FRAME")) << since.toStdString();
}

// Upload to Workspace with unsaved changes asks first. Cancel sends nothing;
// Save writes the open file first; Discard does not.
TEST_F(LinkTest, UploadToWorkspaceWithUnsavedChangesAsksFirst) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string a = dir.filePath("a.bin").toStdString();
  Start();
  CVortanView& view = Form().View();
  LinkTiming noPauses;
  noPauses.pauseLongMs = noPauses.pauseMediumMs = noPauses.pauseShortMs = 0;
  view.Link().Port().SetTiming(noPauses);
  host_.portAnswers.push_back(std::string(CSimulatedReceiver::kPortName));
  Action(kIdLinkConnect)->trigger();
  ASSERT_TRUE(view.Connected());
  CSimulatedReceiver& sim = Form().SimulatedReceiver();
  const QByteArray demo = ReadAll(sim.GetConfig().workspace);
  ASSERT_FALSE(demo.isEmpty());

  for (SaveChangesAnswer answer : {SaveChangesAnswer::kCancel, SaveChangesAnswer::kSave, SaveChangesAnswer::kDiscard}) {
    SCOPED_TRACE(int(answer));
    ASSERT_TRUE(WriteFixture(a, 1));
    const QByteArray aBefore = ReadAll(QString::fromStdString(a));
    ASSERT_TRUE(view.OpenFile(a));
    Form().SelectRows(ListId::kChannels, {0});
    Frame().MoveDownAction()->trigger();
    ASSERT_TRUE(view.Modified());
    const std::vector<uint8_t> edited = BuildDownloadImage(view.GetWorkspace());
    host_.messages.clear();
    host_.leaveQuestions = 0;
    host_.leaveAnswers.push_back(answer);
    const qsizetype mark = sim.Output().size();
    Action(kIdUploadToWorkspace)->trigger();
    EXPECT_EQ(host_.leaveQuestions, 1);
    EXPECT_EQ(ReadAll(QString::fromStdString(a)), answer == SaveChangesAnswer::kSave ? AsBytes(edited) : aBefore);
    if (answer == SaveChangesAnswer::kCancel) {
      EXPECT_TRUE(host_.messages.empty());
      EXPECT_EQ(BuildDownloadImage(view.GetWorkspace()), edited);
      EXPECT_EQ(view.File().path, a);
      EXPECT_TRUE(Frame().windowTitle().endsWith("a.bin *"));
      ExpectNothingSentSince(Frame(), sim, mark);
      continue;
    }
    ASSERT_TRUE(SimReported(sim, "UPLOAD 0", mark - 1)) << sim.Output().toStdString();
    ASSERT_TRUE(host_.messages.empty()) << host_.messages[0].text;
    // The receiver's data, apart from the file that was open.
    EXPECT_NE(BuildDownloadImage(view.GetWorkspace()), edited);
    EXPECT_TRUE(view.Modified());
    EXPECT_TRUE(view.File().path.empty());
    EXPECT_EQ(Frame().windowTitle(), "Pelagor - New Channel List *");
  }
}

// After an upload the workspace has no file: Save and Download Workspace
// open Save As, the file open before stays byte for byte, and what Download
// Workspace sends without edits is exactly what was received.
TEST_F(LinkTest, AfterAnUploadSaveAndDownloadWorkspaceAskForAFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString received = dir.filePath("received.bin");
  const std::string a = dir.filePath("a.bin").toStdString();
  const std::string fresh = dir.filePath("from-receiver.bin").toStdString();
  ASSERT_TRUE(WriteFixture(a, 1));
  const QByteArray aBefore = ReadAll(QString::fromStdString(a));
  Start();
  CVortanView& view = Form().View();
  LinkTiming noPauses;
  noPauses.pauseLongMs = noPauses.pauseMediumMs = noPauses.pauseShortMs = 0;
  view.Link().Port().SetTiming(noPauses);
  Form().SimulatedReceiver().SetConfig(TestSimulator(received));
  CSimulatedReceiver& sim = Form().SimulatedReceiver();
  host_.portAnswers.push_back(std::string(CSimulatedReceiver::kPortName));
  Action(kIdLinkConnect)->trigger();
  ASSERT_TRUE(view.Connected());
  host_.openAnswers.push_back(a);
  Frame().OpenAction()->trigger();
  ASSERT_EQ(view.File().path, a);

  Action(kIdUploadToWorkspace)->trigger();
  EXPECT_EQ(host_.leaveQuestions, 0);  // nothing unsaved
  ASSERT_TRUE(SimReported(sim, "UPLOAD 0")) << sim.Output().toStdString();
  ASSERT_TRUE(host_.messages.empty()) << host_.messages[0].text;
  EXPECT_TRUE(view.Modified());
  EXPECT_FALSE(view.File().fileOpen);
  EXPECT_EQ(Frame().windowTitle(), "Pelagor - New Channel List *");
  const QByteArray workspace = AsBytes(BuildDownloadImage(view.GetWorkspace()));

  // Save: Save As, cancelled at the file chooser.
  host_.saveAnswers.push_back(std::nullopt);
  Frame().SaveAction()->trigger();
  EXPECT_TRUE(host_.saveAnswers.empty());
  EXPECT_TRUE(view.Modified());
  EXPECT_EQ(ReadAll(QString::fromStdString(a)), aBefore);
  // Download Workspace: Save As as well; cancelled, nothing goes.
  qsizetype mark = sim.Output().size();
  host_.saveAnswers.push_back(std::nullopt);
  Action(kIdDownloadWorkspace)->trigger();
  EXPECT_TRUE(host_.saveAnswers.empty());
  EXPECT_TRUE(host_.messages.empty());
  ExpectNothingSentSince(Frame(), sim, mark);
  EXPECT_EQ(ReadAll(QString::fromStdString(a)), aBefore);
  // Given a new file, the received data go back as they came.
  mark = sim.Output().size();
  host_.saveAnswers.push_back(fresh);
  Action(kIdDownloadWorkspace)->trigger();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].icon, MessageIcon::kInformation);
  ASSERT_TRUE(SimReported(sim, "DOWNLOAD 0", mark - 1)) << sim.Output().toStdString();
  EXPECT_EQ(ReadAll(received), workspace);
  EXPECT_EQ(ReadAll(QString::fromStdString(fresh)), workspace);
  EXPECT_EQ(ReadAll(QString::fromStdString(a)), aBefore);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(a + ".bak")));
  EXPECT_TRUE(Frame().windowTitle().endsWith("from-receiver.bin")) << Frame().windowTitle().toStdString();
}

// Upload File takes what the receiver sends unasked; Download File sends any
// file by name and leaves the workspace's own file and title alone.
TEST_F(LinkTest, UploadFileAndDownloadFileWithTheSimulatedReceiver) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString received = dir.filePath("received.bin");
  Start();
  CVortanView& view = Form().View();
  LinkTiming noPauses = RoomyTiming();
  noPauses.pauseLongMs = noPauses.pauseMediumMs = noPauses.pauseShortMs = 0;
  view.Link().Port().SetTiming(noPauses);
  CSimulatedReceiver::Config config = TestSimulator(received);
  config.extraArgs << "--send-now";
  Form().SimulatedReceiver().SetConfig(config);
  CSimulatedReceiver& sim = Form().SimulatedReceiver();
  host_.portAnswers.push_back(std::string(CSimulatedReceiver::kPortName));
  Action(kIdLinkConnect)->trigger();
  ASSERT_TRUE(view.Connected());

  Action(kIdUploadFile)->trigger();
  ASSERT_TRUE(host_.messages.empty()) << host_.messages[0].text;
  EXPECT_TRUE(view.Loaded());
  EXPECT_GT(view.RowCount(), 0);
  ASSERT_TRUE(SimReported(sim, "UPLOAD 0")) << sim.Output().toStdString();

  QByteArray image(5000, '\0');
  for (int i = 0; i < image.size(); ++i) image[i] = char((i * 37 + i / 256) & 0xFF);
  const QString rom = dir.filePath("main.rom");
  {
    QFile f(rom);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(image);
  }
  const QString title = Frame().windowTitle();
  host_.openAnswers.push_back(rom.toStdString());
  Action(kIdDownloadFile)->trigger();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].icon, MessageIcon::kInformation);
  ASSERT_TRUE(SimReported(sim, "RECEIVED 5000 FILE")) << sim.Output().toStdString();
  EXPECT_EQ(ReadAll(received), image);
  EXPECT_EQ(Frame().windowTitle(), title);
}

// Stop in the real transfer dialog while a file goes out at the line's pace.
TEST_F(LinkTest, StopDuringDownloadFileIsACancel) {
  Start();
  CVortanView& view = Form().View();
  CSimulatedReceiver::Config config = TestSimulator();
  config.baud = 115200;
  config.extraArgs << "--byte-wait-ms"
                   << "500";
  ASSERT_FALSE(config.workspace.isEmpty());
  Form().SimulatedReceiver().SetConfig(config);
  host_.portAnswers.push_back(std::string(CSimulatedReceiver::kPortName));
  Action(kIdLinkConnect)->trigger();
  ASSERT_TRUE(view.Connected());

  QString caption, status;
  WhenModal<CTransferDialog>([&](CTransferDialog& d) {
    auto check = std::make_shared<std::function<void()>>();
    *check = [&, check] {
      // Data is moving once the status line counts bytes.
      if (!d.StatusField()->text().startsWith("Transferring... : ")) {
        QTimer::singleShot(5, *check);
        return;
      }
      caption = d.windowTitle();
      status = d.StatusField()->text();
      Grab(d, "transfer_download");
      d.StopButton()->click();
    };
    (*check)();
  });
  host_.openAnswers.push_back(config.workspace.toStdString());
  Action(kIdDownloadFile)->trigger();
  EXPECT_EQ(caption, "Downloading to STB...");
  EXPECT_TRUE(status.endsWith("%)")) << status.toStdString();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "Download Cancelled !");
  EXPECT_EQ(host_.messages[0].icon, MessageIcon::kStop);
  EXPECT_TRUE(view.Connected());
  EXPECT_TRUE(Action(kIdLinkDisconnect)->isEnabled());
}

TEST_F(LinkTest, ReceiverWorkspaceFromTheCommandLine) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString missing = dir.filePath("none.bin");
  app_ = std::make_unique<CVortanApp>();
  app_->SetModalHostFactory([this] { return std::make_unique<LinkHost>(host_); });
  ASSERT_TRUE(app_->Start({"pelagor", "--receiver-workspace", missing}));
  CSimulatedReceiver& sim = Form().SimulatedReceiver();
  EXPECT_EQ(sim.GetConfig().workspace, missing);
  // A workspace the simulator cannot read: no link, and the message says why.
  host_.portAnswers.push_back(std::string(CSimulatedReceiver::kPortName));
  Action(kIdLinkConnect)->trigger();
  EXPECT_FALSE(Form().View().Connected());
  EXPECT_FALSE(sim.Running());
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_NE(host_.messages[0].text.find("The receiver simulator did not start."), std::string::npos)
      << host_.messages[0].text;
  EXPECT_NE(host_.messages[0].text.find("none.bin"), std::string::npos) << host_.messages[0].text;
}

TEST_F(LinkTest, SimulatorThatCannotStartIsReportedAndNotConnected) {
  Start();
  CSimulatedReceiver::Config broken = TestSimulator();
  broken.stbsim = QDir::temp().filePath("no-such-pelagor-stbsim");
  Form().SimulatedReceiver().SetConfig(broken);
  host_.portAnswers.push_back(std::string(CSimulatedReceiver::kPortName));
  Action(kIdLinkConnect)->trigger();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].icon, MessageIcon::kStop);
  EXPECT_FALSE(Form().View().Connected());
  EXPECT_FALSE(Form().SimulatedReceiver().Running());
}

}  // namespace
}  // namespace pelagor::guitest
