#pragma once
// Keeps a recovery copy of unsaved work in the per-user data folder, so a
// crash, a kill or a power cut does not lose it, and offers the copies of
// editors that ended that way at the next start.
//
// Each editor process keeps at most one copy, NAME.recovery, beside a lock
// file NAME.lock that it holds while it runs. A lock whose process has gone
// is stale and can be taken; that is how a copy is known to be left over,
// and why two editors running at once never take each other's copy.

#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>

class QLockFile;

namespace pelagor {

class CVortanView;
class ViewUi;

class CRecoveryKeeper : public QObject {
 public:
  static constexpr int kDefaultIntervalMs = 30000;

  // folder: where the copies are kept; made when missing.
  CRecoveryKeeper(CVortanView& view, const QString& folder, QObject* parent = nullptr);
  // A normal end: the copy goes.
  ~CRecoveryKeeper() override;

  // The "recovery" folder in QStandardPaths::AppDataLocation.
  static QString DefaultFolder();

  // False when the folder or the lock could not be made: no copies are kept.
  bool Active() const { return lock_ != nullptr; }
  QString Folder() const { return folder_; }
  // This process's copy (it exists only while there is unsaved work).
  QString CopyPath() const;

  // The least time between a change and its copy.
  void SetInterval(int ms) { intervalMs_ = ms; }
  int Interval() const { return intervalMs_; }

  // After anything the user did: unsaved work that changed since the last
  // copy is copied when the interval has passed; no unsaved work, no copy.
  void Sync();
  // At once (after a transfer, and when a copy was taken over).
  void WriteNow();
  // The work was saved or given up on purpose.
  void Discard();

  // Start-up: asks about each copy left by an editor that has ended, newest
  // first. Yes opens it in the view (and stops asking), No deletes it. True
  // when a copy was opened.
  bool OfferRecovery(ViewUi& ui);

 private:
  void RemoveCopy();

  CVortanView& view_;
  QString folder_;
  QString id_;
  std::unique_ptr<QLockFile> lock_;
  QTimer timer_;
  int intervalMs_ = kDefaultIntervalMs;
  uint64_t copied_ = 0;  // the view's change count the copy holds
  bool hasCopy_ = false;
};

}  // namespace pelagor
