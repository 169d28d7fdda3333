// The real main window on the offscreen platform: the Edit menu (Undo,
// Redo, Find, Move Up/Down) with its keys and toolbar buttons, the search
// field, the channel popup's move items, Export, the recent files and the
// window state kept in the profile.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "app/CMainFrame.h"
#include "app/CQtModalHost.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "gui/GuiFixture.h"
#include "gui/MainWindowFixture.h"
#include "gui/ScriptedHost.h"
#include "view/CVortanView.h"

namespace pelagor::guitest {
namespace {

class ExtrasTest : public FixtureWindowFixture {
 protected:
  int Rows() { return Form().ChannelTable()->model()->rowCount(); }
  QMenu* Menu(const char* name) { return Frame().menuBar()->findChild<QMenu*>(name); }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
    QTest::keyClick(Frame().windowHandle(), Qt::Key(key), mods);
    QCoreApplication::processEvents();
  }
};

TEST_F(ExtrasTest, EditMenuUndoRedoWithKeysAndToolbar) {
  Start({QString::fromStdString(fixture_)});
  ASSERT_NE(Menu("menuEdit"), nullptr);
  EXPECT_EQ(MenuTexts(Menu("menuEdit")), (QStringList{"&Undo", "&Redo", "&Find...", "Move &Up", "Move &Down"}));
  EXPECT_EQ(Frame().UndoAction()->shortcut(), QKeySequence::fromString("Ctrl+Z"));
  EXPECT_EQ(Frame().RedoAction()->shortcuts(),
            (QList<QKeySequence>{QKeySequence::fromString("Ctrl+Y"), QKeySequence::fromString("Ctrl+Shift+Z")}));
  EXPECT_EQ(Frame().MoveUpAction()->shortcut(), QKeySequence::fromString("Ctrl+Up"));
  EXPECT_EQ(Frame().MoveDownAction()->shortcut(), QKeySequence::fromString("Ctrl+Down"));
  EXPECT_TRUE(Frame().MainToolBar()->actions().contains(Frame().UndoAction()));
  EXPECT_TRUE(Frame().MainToolBar()->actions().contains(Frame().RedoAction()));
  EXPECT_FALSE(Frame().UndoAction()->isEnabled());
  EXPECT_FALSE(Frame().RedoAction()->isEnabled());

  const QStringList before = Names();
  ASSERT_GE(before.size(), 3);
  Form().ChannelTable()->setFocus();
  Form().ChannelTable()->selectRow(0);
  Key(Qt::Key_Down);  // Ctrl+Down: Move Down
  QStringList moved = before;
  moved.swapItemsAt(0, 1);
  EXPECT_EQ(Names(), moved);
  EXPECT_TRUE(Frame().windowTitle().contains(" *"));
  EXPECT_TRUE(Frame().UndoAction()->isEnabled());

  Key(Qt::Key_Z);  // Undo
  EXPECT_EQ(Names(), before);
  EXPECT_FALSE(Frame().windowTitle().contains(" *")) << Frame().windowTitle().toStdString();
  EXPECT_FALSE(Frame().UndoAction()->isEnabled());
  EXPECT_TRUE(Frame().RedoAction()->isEnabled());
  Key(Qt::Key_Y);  // Redo
  EXPECT_EQ(Names(), moved);
  Frame().UndoAction()->trigger();  // the toolbar button's action
  EXPECT_EQ(Names(), before);
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);  // the other Redo key
  EXPECT_EQ(Names(), moved);
}

TEST_F(ExtrasTest, FindFieldNarrowsTheListAndEscClearsIt) {
  Start({QString::fromStdString(fixture_)});
  const QStringList all = Names();
  const int rows = Rows();
  ASSERT_GT(rows, 1);
  Key(Qt::Key_F);
  QLineEdit* find = Form().FindField();
  EXPECT_TRUE(find->hasFocus());
  // The first name's first word, typed in capitals: case does not count.
  const QString word = all.front().section(' ', 0, 0).toUpper();
  QTest::keyClicks(find, word);
  EXPECT_EQ(find->text(), word);
  EXPECT_GE(Rows(), 1);
  EXPECT_LE(Rows(), rows);
  for (const QString& name : Names()) EXPECT_TRUE(name.contains(word, Qt::CaseInsensitive)) << name.toStdString();
  QTest::keyClicks(find, "zzqq");
  EXPECT_EQ(Rows(), 0);
  QTest::keyClick(find, Qt::Key_Escape);
  EXPECT_EQ(find->text(), "");
  EXPECT_EQ(Names(), all);
}

TEST_F(ExtrasTest, ChannelPopupMovesAndExportWritesTheShownList) {
  Start({QString::fromStdString(fixture_)});
  const QStringList before = Names();
  Form().ChannelTable()->selectRow(1);
  std::unique_ptr<QMenu> menu = Form().BuildChannelMenu();
  ASSERT_NE(menu, nullptr);
  auto* up = menu->findChild<QAction*>("chanMenuMoveUp");
  auto* down = menu->findChild<QAction*>("chanMenuMoveDown");
  ASSERT_NE(up, nullptr);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(up->text(), "Move &Up\tCtrl+Up");
  EXPECT_TRUE(up->isEnabled());
  up->trigger();
  QStringList moved = before;
  moved.swapItemsAt(0, 1);
  EXPECT_EQ(Names(), moved);
  menu = Form().BuildChannelMenu();  // row 0 now: nothing above it
  EXPECT_FALSE(menu->findChild<QAction*>("chanMenuMoveUp")->isEnabled());

  const std::string out = Path("list.csv");
  host_.saveAnswers.push_back(out);
  ASSERT_TRUE(MenuTexts(Menu("menuFile")).contains("&Export Channel List..."));
  QCoreApplication::processEvents();  // the command states follow the load
  EXPECT_TRUE(Frame().ExportAction()->isEnabled());
  Frame().ExportAction()->trigger();
  QFile f(QString::fromStdString(out));
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray text = f.readAll();
  EXPECT_TRUE(text.startsWith("No.,Chan No.,Chan Name,"));
  EXPECT_EQ(text.count("\r\n"), before.size() + 1);
  EXPECT_EQ(QString::fromStdString(View().ChannelListCsv()).toUtf8(), text);
}

TEST_F(ExtrasTest, RecentFilesAndAVanishedOne) {
  Start();
  const std::string second = Path("second.bin");
  ASSERT_TRUE(WriteFixture(second, 2));
  host_.openAnswers.push_back(fixture_);
  Frame().OpenAction()->trigger();
  host_.openAnswers.push_back(second);
  Frame().OpenAction()->trigger();
  const QString first = QString::fromStdString(fixture_);
  const QString secondPath = QString::fromStdString(second);
  EXPECT_EQ(CMainFrame::RecentFiles(), (QStringList{secondPath, first}));
  ASSERT_TRUE(Frame().RecentActions()[0]->isVisible());
  EXPECT_TRUE(Frame().RecentActions()[0]->text().startsWith("&1 "));
  EXPECT_FALSE(Frame().RecentActions()[2]->isVisible());

  // A save puts its file on top; a list never holds more than four.
  for (const char* name : {"s1.bin", "s2.bin", "s3.bin"}) {
    host_.modelAnswers.push_back(0);
    host_.saveAnswers.push_back(Path(name));
    Frame().SaveAsAction()->trigger();
  }
  const QStringList files = CMainFrame::RecentFiles();
  ASSERT_EQ(files.size(), 4);
  EXPECT_EQ(files[0], QString::fromStdString(Path("s3.bin")));
  EXPECT_EQ(files[3], secondPath);

  // The vanished file is dropped with the open's message.
  ASSERT_TRUE(QFile::remove(secondPath));
  host_.messages.clear();
  Frame().RecentActions()[3]->trigger();
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "File Open Error !!!");
  EXPECT_EQ(CMainFrame::RecentFiles().size(), 3);
  EXPECT_FALSE(CMainFrame::RecentFiles().contains(secondPath));
  EXPECT_FALSE(Frame().RecentActions()[3]->isVisible());
  // One that is still there opens and goes to the top.
  Frame().RecentActions()[2]->trigger();
  EXPECT_EQ(CMainFrame::RecentFiles().front(), QString::fromStdString(Path("s1.bin")));
  EXPECT_EQ(View().File().path, Path("s1.bin"));
}

TEST_F(ExtrasTest, WindowStateAndColumnWidthsPersist) {
  Start({QString::fromStdString(fixture_)});
  Frame().resize(1300, 820);
  Form().ChannelTable()->horizontalHeader()->resizeSection(kColName, 233);
  Frame().close();
  app_.reset();
  EXPECT_FALSE(QSettings().value("Settings/ChannelColumns").toByteArray().isEmpty());
  EXPECT_FALSE(QSettings().value("Settings/WindowState").toByteArray().isEmpty());
  Start();
  EXPECT_EQ(Form().ChannelTable()->horizontalHeader()->sectionSize(kColName), 233);
  EXPECT_EQ(Frame().size(), QSize(1300, 820));
  EXPECT_EQ(CMainFrame::RecentFiles(), QStringList{QString::fromStdString(fixture_)});
}

TEST(QtModalHostFolder, FileDialogsStartInTheLastFolderAndRememberTheNewOne) {
  QTemporaryDir first;
  QTemporaryDir second;
  QSettings().setValue("Settings/LastFolder", first.path());
  CQtModalHost host(nullptr);
  QString opened;
  QTimer::singleShot(0, [&] {
    auto* dlg = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    opened = dlg->directory().absolutePath();
    dlg->selectFile(second.filePath("list.csv"));
    QMetaObject::invokeMethod(dlg, "accept");
  });
  const std::optional<std::string> chosen = host.AskSaveFile(CVortanView::ExportFileRequest());
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(opened, QDir(first.path()).absolutePath());
  EXPECT_EQ(QString::fromStdString(*chosen), second.filePath("list.csv"));
  EXPECT_EQ(QSettings().value("Settings/LastFolder").toString(), QDir(second.path()).absolutePath());
}

}  // namespace
}  // namespace pelagor::guitest
