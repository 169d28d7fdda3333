#include "app/CVortanApp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QPixmap>
#include <cstdio>

#include "app/AppIcon.h"
#include "app/CMainFrame.h"
#include "app/CModalHost.h"
#include "app/CRecoveryKeeper.h"
#include "app/CSimulatedReceiver.h"
#include "app/CVortanForm.h"
#include "view/CVortanView.h"

namespace pelagor {

CVortanApp::CVortanApp() = default;
CVortanApp::~CVortanApp() = default;

void CVortanApp::InitApplication() {
  // The same profile key the program has always used for its settings.
  QApplication::setOrganizationName("Local AppWizard-Generated Applications");
  QApplication::setApplicationName("Pelagor");
  QApplication::setWindowIcon(MakeAppIcon());
}

CVortanApp::Options CVortanApp::ParseArguments(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Channel-list editor for digital-TV set-top receivers");
  QCommandLineOption screenshot("screenshot", "Render the main window to OUT.png and exit.", "OUT.png");
  parser.addOption(screenshot);
  QCommandLineOption receiverWorkspace(
      "receiver-workspace", "Channel data the simulated receiver holds (default: the demo workspace).", "FILE");
  parser.addOption(receiverWorkspace);
  parser.addPositionalArgument("FILE", "Download image to open at start.", "[FILE]");
  Options o;
  if (!parser.parse(arguments)) {
    o.error = parser.errorText();
    return o;
  }
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) {
    o.error = "Only one FILE can be given.";
    return o;
  }
  if (!files.isEmpty()) o.file = files.front();
  o.screenshot = parser.value(screenshot);
  o.receiverWorkspace = parser.value(receiverWorkspace);
  return o;
}

bool CVortanApp::Start(const QStringList& arguments) {
  options_ = ParseArguments(arguments);
  if (!options_.error.isEmpty()) return false;
  frame_ = std::make_unique<CMainFrame>();
  if (hostFactory_) frame_->Form()->SetModalHost(hostFactory_());
  if (!options_.receiverWorkspace.isEmpty()) {
    CSimulatedReceiver& sim = frame_->Form()->SimulatedReceiver();
    CSimulatedReceiver::Config config = sim.GetConfig();
    config.workspace = QFileInfo(options_.receiverWorkspace).absoluteFilePath();
    sim.SetConfig(config);
  }
  CRecoveryKeeper& recovery = *frame_->Recovery();
  bool ok = false;
  const int interval = qEnvironmentVariableIntValue("PELAGOR_RECOVERY_INTERVAL_MS", &ok);
  if (ok && interval >= 0) recovery.SetInterval(interval);
  frame_->show();
  // Work left by an editor that ended unexpectedly comes before the file
  // asked for: opening that would replace it. A screenshot asks nothing.
  const bool recovered = options_.screenshot.isEmpty() && recovery.OfferRecovery(*frame_->Form());
  if (!recovered && !options_.file.isEmpty() && frame_->Form()->View().OpenFile(options_.file.toStdString())) {
    frame_->NoteRecentFile(options_.file);
  }
  ApplyTestEdits();
  return true;
}

// For the test that kills a running editor: PELAGOR_TEST_LOCK_ROWS="0,2"
// locks those rows of the channel list through the editor's own command,
// as a user would, so that the process has unsaved work when it is killed.
void CVortanApp::ApplyTestEdits() {
  const QString rows = qEnvironmentVariable("PELAGOR_TEST_LOCK_ROWS");
  if (rows.isEmpty()) return;
  CVortanView& view = frame_->Form()->View();
  for (const QString& row : rows.split(',', Qt::SkipEmptyParts)) {
    frame_->Form()->SelectRows(ListId::kChannels, {row.toInt()});
    view.OnChannelMenuCommand(ChanMenuItem::kLock);
  }
  frame_->Recovery()->Sync();
}

int CVortanApp::Run(const QStringList& arguments) {
  if (!Start(arguments)) {
    std::fprintf(stderr, "pelagor: %s\nUsage: pelagor [--screenshot OUT.png] [--receiver-workspace FILE] [FILE]\n",
                 qPrintable(options_.error));
    return 2;
  }
  if (!options_.screenshot.isEmpty()) {
    QApplication::processEvents();
    if (!frame_->grab().save(options_.screenshot, "PNG")) {
      std::fprintf(stderr, "pelagor: cannot write %s\n", qPrintable(options_.screenshot));
      return 1;
    }
    return 0;
  }
  return QApplication::exec();
}

}  // namespace pelagor
