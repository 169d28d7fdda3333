// The built editor killed with SIGKILL while it has unsaved edits, then
// started again: it offers the work back, Yes restores it byte for byte,
// No deletes it, and an editor that is still running keeps its own copy.

#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/CMainFrame.h"
#include "app/CRecoveryKeeper.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "files/DownloadImage.h"
#include "files/RecoveryCopy.h"
#include "gui/GuiFixture.h"
#include "gui/MainWindowFixture.h"
#include "gui/ScriptedHost.h"
#include "view/CVortanView.h"

namespace pelagor::guitest {
namespace {

constexpr const char* kLockRows = "0,2";

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class RecoveryTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    if (HasFatalFailure()) return;
    folder_ = CRecoveryKeeper::DefaultFolder();
    ASSERT_FALSE(folder_.isEmpty());
    QDir(folder_).removeRecursively();
    a_ = dir_.filePath("a.bin").toStdString();
    ASSERT_TRUE(WriteFixture(a_, 1));
    aBytes_ = ReadAll(QString::fromStdString(a_));
  }
  void TearDown() override {
    qunsetenv("PELAGOR_TEST_LOCK_ROWS");
    qunsetenv("PELAGOR_RECOVERY_INTERVAL_MS");
  }

  QStringList Copies() const { return QDir(folder_).entryList({"*.recovery"}, QDir::Files); }
  QStringList Locks() const { return QDir(folder_).entryList({"*.lock"}, QDir::Files); }
  // Bounded wait until the folder holds n copies.
  bool WaitForCopies(int n) {
    for (int i = 0; i < 2000; ++i) {
      if (Copies().size() == n) return true;
      QTest::qWait(10);
    }
    return false;
  }

  // The built editor on the file, making its test edits, copying after 50 ms.
  std::unique_ptr<QProcess> StartEditor() {
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("PELAGOR_TEST_LOCK_ROWS", kLockRows);
    env.insert("PELAGOR_RECOVERY_INTERVAL_MS", "50");
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(PELAGOR_BINARY, {QString::fromStdString(a_)});
    EXPECT_TRUE(p->waitForStarted(10000));
    return p;
  }
  static void Kill(QProcess& p) {
    ASSERT_EQ(::kill(pid_t(p.processId()), SIGKILL), 0);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
  }

  // A normal end, giving up whatever is unsaved.
  void Leave() {
    host_.leaveAnswers.push_back(SaveChangesAnswer::kDiscard);
    EXPECT_TRUE(app_->MainFrame()->close());
    app_.reset();
  }

  // What the test edits make of the file: the same edits in this process.
  std::vector<uint8_t> EditedImage() {
    qputenv("PELAGOR_TEST_LOCK_ROWS", kLockRows);
    qputenv("PELAGOR_RECOVERY_INTERVAL_MS", "50");
    Start({QString::fromStdString(a_)});
    qunsetenv("PELAGOR_TEST_LOCK_ROWS");
    qunsetenv("PELAGOR_RECOVERY_INTERVAL_MS");
    EXPECT_TRUE(View().Modified());
    const std::vector<uint8_t> image = BuildDownloadImage(View().GetWorkspace());
    // The copy follows the edit, and a normal end takes it away.
    EXPECT_TRUE(WaitForCopies(1));
    Leave();
    EXPECT_TRUE(Copies().isEmpty());
    EXPECT_TRUE(Locks().isEmpty());
    return image;
  }

  QString folder_;
  std::string a_;
  QByteArray aBytes_;
};

TEST_F(RecoveryTest, KilledEditorsWorkIsOfferedAndYesRestoresItByteForByte) {
  const std::vector<uint8_t> edited = EditedImage();
  ASSERT_NE(edited, std::vector<uint8_t>(aBytes_.begin(), aBytes_.end()));

  std::unique_ptr<QProcess> editor = StartEditor();
  ASSERT_TRUE(WaitForCopies(1)) << "the editor kept no copy";
  const QString theirs = Copies().front();
  const QByteArray copyBytes = ReadAll(QDir(folder_).filePath(theirs));
  RecoveryCopy copy;
  const auto* data = reinterpret_cast<const uint8_t*>(copyBytes.constData());
  ASSERT_TRUE(ParseRecoveryCopy(data, size_t(copyBytes.size()), copy));
  EXPECT_EQ(copy.image, edited);
  EXPECT_EQ(copy.path, a_);

  // A second editor while the first still runs: nothing is offered.
  Start();
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_FALSE(View().Loaded());
  Leave();
  EXPECT_EQ(Copies(), QStringList{theirs});

  Kill(*editor);
  EXPECT_EQ(Copies(), QStringList{theirs});
  EXPECT_EQ(ReadAll(QString::fromStdString(a_)), aBytes_);

  host_ = Shared{};
  host_.messageAnswers.push_back(MessageAnswer::kYes);
  CMainFrame& f = Start();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].icon, MessageIcon::kQuestion);
  const QString question = QString::fromStdString(host_.messages[0].text);
  EXPECT_TRUE(QRegularExpression(R"(^Recover the unsaved changes of \d{4}-\d\d-\d\d \d\d:\d\d:\d\d \(a\.bin\)\?$)")
                  .match(question)
                  .hasMatch())
      << question.toStdString();
  EXPECT_TRUE(View().Modified());
  EXPECT_TRUE(View().File().fileOpen);
  EXPECT_EQ(View().File().path, a_);
  EXPECT_TRUE(f.windowTitle().endsWith("a.bin *")) << f.windowTitle().toStdString();
  EXPECT_EQ(BuildDownloadImage(View().GetWorkspace()), edited);
  EXPECT_EQ(ReadAll(QString::fromStdString(a_)), aBytes_);
  // The killed editor's copy is gone; this editor keeps the work in its own.
  const QStringList now = Copies();
  ASSERT_EQ(now.size(), 1);
  EXPECT_NE(now.front(), theirs);
  // Saved, nothing is left to recover.
  f.SaveAction()->trigger();
  EXPECT_FALSE(View().Modified());
  EXPECT_TRUE(Copies().isEmpty());
  EXPECT_EQ(ReadAll(QString::fromStdString(a_) + ".bak"), aBytes_);
  Leave();
}

TEST_F(RecoveryTest, NoDeletesTheKilledEditorsCopy) {
  std::unique_ptr<QProcess> editor = StartEditor();
  ASSERT_TRUE(WaitForCopies(1)) << "the editor kept no copy";
  Kill(*editor);
  ASSERT_EQ(Copies().size(), 1);
  EXPECT_EQ(Locks().size(), 1);  // the lock outlives the process, but is stale

  host_.messageAnswers.push_back(MessageAnswer::kNo);
  Start();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_FALSE(View().Loaded());
  EXPECT_FALSE(View().Modified());
  EXPECT_TRUE(Copies().isEmpty());
  EXPECT_EQ(Locks().size(), 1);  // this editor's own
  Leave();
  EXPECT_TRUE(Locks().isEmpty());

  // Asked once: the next start has nothing to offer.
  host_ = Shared{};
  Start();
  EXPECT_TRUE(host_.messages.empty());
  Leave();
}

}  // namespace
}  // namespace pelagor::guitest
