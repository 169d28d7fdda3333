#include "app/CSimulatedReceiver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <functional>

#ifdef __linux__
#include <signal.h>
#include <sys/prctl.h>
#endif

namespace pelagor {
namespace {

// Start-up of the two tools is local and quick; the bound only keeps a broken
// tool from hanging the window.
constexpr int kStartTimeoutMs = 10000;

QString FindFile(const QStringList& candidates) {
  for (const QString& c : candidates)
    if (!c.isEmpty() && QFileInfo(c).isFile()) return QFileInfo(c).absoluteFilePath();
  return {};
}

QString FindTool(const QString& name, const QString& subdir) {
  const QString app = QCoreApplication::applicationDirPath();
  QStringList candidates{app + "/" + name, app + "/../../tools/" + subdir + "/" + name};
#ifdef PELAGOR_BUILD_DIR
  candidates << QStringLiteral(PELAGOR_BUILD_DIR) + "/tools/" + subdir + "/" + name;
#endif
  QString found = FindFile(candidates);
  if (found.isEmpty()) found = QStandardPaths::findExecutable(name);
  return found.isEmpty() ? name : found;
}

void PrepareChild(QProcess& p) {
  // Standard error is kept: it says why a tool would not start.
  p.setProcessChannelMode(QProcess::SeparateChannels);
#ifdef __linux__
  // A program that dies without cleaning up takes the simulators with it.
  p.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
}

void End(QProcess*& p) {
  if (p == nullptr) return;
  if (p->state() != QProcess::NotRunning) {
    p->terminate();
    if (!p->waitForFinished(3000)) {
      p->kill();
      // A killed process goes at once; the wait only reaps it, so none is left behind.
      p->waitForFinished(10000);
    }
  }
  delete p;
  p = nullptr;
}

}  // namespace

bool CSimulatedReceiver::Supported() {
#ifdef Q_OS_UNIX
  return true;
#else
  return false;
#endif
}

CSimulatedReceiver::Config CSimulatedReceiver::DefaultConfig() {
  Config c;
  c.stbsim = FindTool("pelagor-stbsim", "stbsim");
  c.linesim = FindTool("pelagor-linesim", "linesim");
  const QString app = QCoreApplication::applicationDirPath();
  QStringList demos{app + "/../../samples/demo.bin", app + "/../share/pelagor/demo.bin"};
#ifdef PELAGOR_BUILD_DIR
  demos << QStringLiteral(PELAGOR_BUILD_DIR) + "/samples/demo.bin";
#endif
  c.workspace = FindFile(demos);
  return c;
}

CSimulatedReceiver::CSimulatedReceiver(QObject* parent) : QObject(parent), config_(DefaultConfig()) {}

CSimulatedReceiver::~CSimulatedReceiver() { Stop(); }

bool CSimulatedReceiver::Running() const {
  return stb_ != nullptr && stb_->state() == QProcess::Running && line_ != nullptr &&
         line_->state() == QProcess::Running;
}

bool CSimulatedReceiver::ReadLines(QProcess& p, QByteArray& buffer, const std::function<bool(const QByteArray&)>& done,
                                   int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    buffer += p.readAllStandardOutput();
    qsizetype nl;
    while ((nl = buffer.indexOf('\n')) >= 0) {
      const QByteArray line = buffer.left(nl).trimmed();
      buffer.remove(0, nl + 1);
      if (done(line)) return true;
    }
    if (p.state() == QProcess::NotRunning || deadline.hasExpired()) return false;
    p.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
  }
}

QString CSimulatedReceiver::Start(QString* error) {
  Stop();
  output_.clear();
  auto fail = [&](QString why) {
    // The tool's own last word, e.g. a workspace it cannot read.
    for (QProcess* p : {stb_, line_}) {
      if (p == nullptr) continue;
      p->waitForFinished(200);
      const QList<QByteArray> lines = p->readAllStandardError().trimmed().split('\n');
      if (!lines.back().isEmpty()) why += "\n\n" + QString::fromLocal8Bit(lines.back().trimmed());
    }
    if (error) *error = why;
    Stop();
    return QString();
  };

  line_ = new QProcess(this);
  PrepareChild(*line_);
  line_->start(config_.linesim, {"--baud", QString::number(config_.baud)});
  if (!line_->waitForStarted(kStartTimeoutMs)) return fail("Can not start " + config_.linesim + " !");
  QString pcSide, stbSide;
  QByteArray pending;
  const bool joined = ReadLines(
      *line_, pending,
      [&](const QByteArray& l) {
        if (l.startsWith("A ")) pcSide = QString::fromLocal8Bit(l.mid(2));
        if (l.startsWith("B ")) stbSide = QString::fromLocal8Bit(l.mid(2));
        return !pcSide.isEmpty() && !stbSide.isEmpty();
      },
      kStartTimeoutMs);
  if (!joined) return fail("The line simulator did not start.");

  stb_ = new QProcess(this);
  PrepareChild(*stb_);
  QStringList args{"--device", stbSide};
  if (!config_.workspace.isEmpty()) args << "--workspace" << config_.workspace;
  args << config_.extraArgs;
  stb_->start(config_.stbsim, args);
  if (!stb_->waitForStarted(kStartTimeoutMs)) return fail("Can not start " + config_.stbsim + " !");
  QByteArray seen;
  const bool ready = ReadLines(
      *stb_, seen,
      [&](const QByteArray& l) {
        output_ += l + '\n';
        return l == "READY";
      },
      kStartTimeoutMs);
  if (!ready) return fail("The receiver simulator did not start.");
  output_ += seen;
  // Keep collecting what it reports, so its pipe never fills.
  connect(stb_, &QProcess::readyReadStandardOutput, this, [this] {
    if (stb_) output_ += stb_->readAllStandardOutput();
  });
  portPath_ = pcSide;
  return portPath_;
}

QList<qint64> CSimulatedReceiver::ProcessIds() const {
  QList<qint64> ids;
  for (const QProcess* p : {stb_, line_})
    if (p != nullptr && p->state() != QProcess::NotRunning) ids << p->processId();
  return ids;
}

QByteArray CSimulatedReceiver::Output() {
  if (stb_) {
    // Takes what is in the pipe now, without waiting for more.
    stb_->waitForReadyRead(0);
    output_ += stb_->readAllStandardOutput();
  }
  return output_;
}

void CSimulatedReceiver::Stop() {
  // The receiver first, so it never sees its line vanish under it.
  End(stb_);
  End(line_);
  portPath_.clear();
}

}  // namespace pelagor
