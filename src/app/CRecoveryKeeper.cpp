#include "app/CRecoveryKeeper.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>

#include "files/RecoveryCopy.h"
#include "view/CVortanView.h"
#include "view/ViewUi.h"

namespace pelagor {

namespace {

constexpr const char* kCopySuffix = ".recovery";
constexpr const char* kLockSuffix = ".lock";

// Only a process that has gone makes its lock stale: an editor left open
// for hours keeps its copy.
std::unique_ptr<QLockFile> TryLock(const QString& path) {
  auto lock = std::make_unique<QLockFile>(path);
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

}  // namespace

CRecoveryKeeper::CRecoveryKeeper(CVortanView& view, const QString& folder, QObject* parent)
    : QObject(parent), view_(view), folder_(folder) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &CRecoveryKeeper::WriteNow);
  if (folder_.isEmpty() || !QDir().mkpath(folder_)) return;
  // The process id names the copy for whoever looks; the random part keeps
  // a reused id from meeting an old copy.
  for (int attempt = 0; attempt < 8 && lock_ == nullptr; ++attempt) {
    id_ = QString("%1-%2")
              .arg(QCoreApplication::applicationPid())
              .arg(QRandomGenerator::global()->generate(), 8, 16, QChar('0'));
    if (QFileInfo::exists(CopyPath())) continue;
    lock_ = TryLock(QDir(folder_).filePath(id_ + kLockSuffix));
  }
}

CRecoveryKeeper::~CRecoveryKeeper() { RemoveCopy(); }

QString CRecoveryKeeper::DefaultFolder() {
  const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  return base.isEmpty() ? QString() : QDir(base).filePath("recovery");
}

QString CRecoveryKeeper::CopyPath() const { return QDir(folder_).filePath(id_ + kCopySuffix); }

void CRecoveryKeeper::Sync() {
  if (!Active()) return;
  if (!view_.Modified()) {
    Discard();
    return;
  }
  if ((!hasCopy_ || view_.ChangeCount() != copied_) && !timer_.isActive()) timer_.start(intervalMs_);
}

void CRecoveryKeeper::WriteNow() {
  timer_.stop();
  if (!Active()) return;
  RecoveryCopy copy;
  if (!view_.FillRecoveryCopy(copy)) {
    RemoveCopy();
    return;
  }
  copy.savedAt = QDateTime::currentSecsSinceEpoch();
  const std::vector<uint8_t> bytes = SerialiseRecoveryCopy(copy);
  // Replaced as a whole: a kill in the middle leaves the previous copy.
  QSaveFile out(CopyPath());
  if (!out.open(QIODevice::WriteOnly)) return;
  out.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
  if (!out.commit()) return;
  hasCopy_ = true;
  copied_ = view_.ChangeCount();
}

void CRecoveryKeeper::Discard() {
  timer_.stop();
  RemoveCopy();
}

void CRecoveryKeeper::RemoveCopy() {
  if (!Active()) return;
  QFile::remove(CopyPath());
  hasCopy_ = false;
}

bool CRecoveryKeeper::OfferRecovery(ViewUi& ui) {
  if (!Active()) return false;
  const QFileInfoList copies = QDir(folder_).entryInfoList({QString("*") + kCopySuffix}, QDir::Files, QDir::Time);
  for (const QFileInfo& info : copies) {
    const QString id = info.completeBaseName();
    if (id == id_) continue;
    // Held: its editor is still running. Taken: ours until it is settled.
    std::unique_ptr<QLockFile> theirs = TryLock(QDir(folder_).filePath(id + kLockSuffix));
    if (theirs == nullptr) continue;
    QFile in(info.filePath());
    RecoveryCopy copy;
    const QByteArray bytes = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    in.close();
    const bool readable =
        ParseRecoveryCopy(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), copy);
    if (readable) {
      const QString when = QDateTime::fromSecsSinceEpoch(copy.savedAt).toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
      const MessageAnswer answer =
          ui.ShowMessage(RecoveryQuestion(copy, when.toStdString()), MessageIcon::kQuestion, MessageButtons::kYesNo);
      if (answer == MessageAnswer::kYes && view_.OpenRecoveryCopy(copy)) {
        // Ours before theirs goes, so a crash in between loses nothing.
        WriteNow();
        QFile::remove(info.filePath());
        return true;
      }
    }
    // No, or a copy that cannot be read: it is not offered again.
    QFile::remove(info.filePath());
  }
  // Locks of editors that ended with nothing unsaved: taking one removes it.
  for (const QFileInfo& info : QDir(folder_).entryInfoList({QString("*") + kLockSuffix}, QDir::Files)) {
    const QString id = info.completeBaseName();
    if (id != id_ && !QFileInfo::exists(QDir(folder_).filePath(id + kCopySuffix))) TryLock(info.filePath());
  }
  return false;
}

}  // namespace pelagor
