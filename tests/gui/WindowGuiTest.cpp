// The real main window on the offscreen platform: its layout and column
// widths, the channel list's keys, the favourite submenu's check marks, the
// user guide, the PDF of the channel list and the lock-key indicators.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "app/CHelpWindow.h"
#include "app/CMainFrame.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "app/ChannelListPrint.h"
#include "app/ColumnWidths.h"
#include "db/ImageChecker.h"
#include "gui/GuiFixture.h"
#include "gui/MainWindowFixture.h"
#include "gui/ScriptedHost.h"
#include "view/CFavNameDlg.h"
#include "view/CVortanView.h"

namespace pelagor::guitest {
namespace {

// Started as the user sees it: the window active.
class WindowTest : public FixtureWindowFixture {
 protected:
  CMainFrame& Start(QStringList args = {}) {
    FixtureWindowFixture::Start(args);
    QCoreApplication::processEvents();
    app_->MainFrame()->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(app_->MainFrame()));
    return *app_->MainFrame();
  }
  CDragDropListCtrl* List() { return Form().ChannelTable(); }
  // A key on the channel list, as the user types it with the list focused.
  void ListKey(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key(key), mods);
    QCoreApplication::processEvents();
  }
  std::vector<int> Selected() { return Form().SelectedRows(ListId::kChannels); }
};

TEST_F(WindowTest, NarrowWindowKeepsEveryControlAndTheSplitterIsRemembered) {
  CMainFrame& f = Start({QString::fromStdString(fixture_)});
  EXPECT_LE(f.minimumSizeHint().width(), 1000);
  // At its narrowest the filters wrap, and each one lies inside the window.
  f.resize(f.minimumSizeHint().width(), 700);
  QCoreApplication::processEvents();
  EXPECT_LE(f.width(), 1000);
  for (ComboId id : {ComboId::kFavorite, ComboId::kCas, ComboId::kSatFilter, ComboId::kTpFilter}) {
    QWidget* w = Form().Combo(id);
    const QRect r(w->mapTo(&f, QPoint(0, 0)), w->size());
    EXPECT_TRUE(f.rect().contains(r)) << int(id);
    EXPECT_TRUE(w->isVisible());
  }
  const QRect list(List()->mapTo(&f, QPoint(0, 0)), List()->size());
  EXPECT_TRUE(f.rect().contains(list));

  // The left column is in a splitter that collapses it and keeps its width.
  QSplitter* s = Form().Splitter();
  ASSERT_NE(s, nullptr);
  f.resize(1200, 760);
  QCoreApplication::processEvents();
  EXPECT_TRUE(s->isCollapsible(0));
  EXPECT_FALSE(s->isCollapsible(1));
  QWidget* handle = s->handle(1);
  const QPoint grip = handle->rect().center();
  QTest::mousePress(handle, Qt::LeftButton, {}, grip);
  QTest::mouseMove(handle, grip + QPoint(-60, 0));
  QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(-60, 0));
  const int dragged = s->sizes()[0];
  EXPECT_LT(dragged, s->widget(0)->sizeHint().width() + 200);
  EXPECT_FALSE(QSettings().value(CVortanForm::kSplitterKey).toByteArray().isEmpty());
  f.close();
  Start({QString::fromStdString(fixture_)});
  Frame().resize(1200, 760);
  QCoreApplication::processEvents();
  EXPECT_EQ(Form().Splitter()->sizes()[0], dragged);
}

TEST_F(WindowTest, ColumnsFitTheirHeadingsAndTypicalValues) {
  Start({QString::fromStdString(fixture_)});
  const std::vector<ListColumn>& columns = ChannelList::Columns();
  QHeaderView* header = List()->horizontalHeader();
  for (int i = 0; i < kChannelColumns; ++i) {
    const QString heading = QString::fromStdString(columns[size_t(i)].heading);
    const int w = header->sectionSize(i);
    EXPECT_GE(w, columns[size_t(i)].width) << heading.toStdString();
    EXPECT_GT(w, header->fontMetrics().horizontalAdvance(heading)) << heading.toStdString();
    ASSERT_FALSE(TypicalColumnText(heading).isEmpty()) << heading.toStdString();
    EXPECT_GT(w, List()->fontMetrics().horizontalAdvance(TypicalColumnText(heading))) << heading.toStdString();
  }
  // "Chan No." no longer loses its last letters, and "Hispasat 30.0W" shows whole.
  EXPECT_GT(header->sectionSize(kColChanNo), 50);
  EXPECT_GT(header->sectionSize(kColSatellite), List()->fontMetrics().horizontalAdvance("Hispasat 30.0W"));
  // A width the user dragged survives a rebuild and a new start.
  header->resizeSection(kColName, 333);
  Form().Control(ControlId::kRadio)->setFocus();
  View().OnServiceTypeButton(ServiceType::kRadio);
  EXPECT_EQ(header->sectionSize(kColName), 333);
  Frame().close();
  Start({QString::fromStdString(fixture_)});
  EXPECT_EQ(List()->horizontalHeader()->sectionSize(kColName), 333);
}

TEST_F(WindowTest, ChannelListKeysReachTheirCommands) {
  Start({QString::fromStdString(fixture_)});
  const QStringList before = Names();
  ASSERT_EQ(before.size(), FixtureCounts::kTv);

  // Ctrl+A selects every shown row; Home and End go to the first and last row,
  // with Shift they extend the selection.
  ListKey(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(int(Selected().size()), FixtureCounts::kTv);
  Form().SelectRows(ListId::kChannels, {3});
  ListKey(Qt::Key_End);
  EXPECT_EQ(Selected(), std::vector<int>{FixtureCounts::kTv - 1});
  ListKey(Qt::Key_Home);
  EXPECT_EQ(Selected(), std::vector<int>{0});
  ListKey(Qt::Key_Down, Qt::ShiftModifier);
  ListKey(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
  // A click on row 2 and Shift+End: rows 2 to the last.
  List()->setFocus();
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                    List()->visualRect(List()->model()->index(2, kColName)).center());
  EXPECT_EQ(Selected(), std::vector<int>{2});
  ListKey(Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), (std::vector<int>{2, 3, 4, 5, 6}));
  ListKey(Qt::Key_PageUp);
  EXPECT_EQ(Selected(), std::vector<int>{0});

  // Ctrl+X marks rows 1 and 2 as cut (drawn greyed), Ctrl+V moves them before row 5.
  Form().SelectRows(ListId::kChannels, {1, 2});
  ListKey(Qt::Key_X, Qt::ControlModifier);
  QAbstractItemModel* m = List()->model();
  EXPECT_TRUE(m->index(1, kColName).data(Qt::ForegroundRole).isValid());
  EXPECT_TRUE(m->index(2, kColNo).data(Qt::ForegroundRole).isValid());
  EXPECT_FALSE(m->index(0, kColName).data(Qt::ForegroundRole).isValid());
  EXPECT_EQ(Names(), before);  // nothing moved yet
  Form().SelectRows(ListId::kChannels, {5});
  ListKey(Qt::Key_V, Qt::ControlModifier);
  const QStringList moved{before[0], before[3], before[4], before[1], before[2], before[5], before[6]};
  EXPECT_EQ(Names(), moved);
  EXPECT_EQ(CheckImage(View().Image()), "");
  EXPECT_TRUE(View().Modified());
  EXPECT_EQ(Selected(), (std::vector<int>{3, 4}));  // the pasted rows
  for (int r = 0; r < FixtureCounts::kTv; ++r) EXPECT_FALSE(m->index(r, kColName).data(Qt::ForegroundRole).isValid());

  // F2 and Enter open the edit dialog; Delete deletes.
  int edits = 0;
  for (int key : {int(Qt::Key_F2), int(Qt::Key_Return)}) {
    Form().SelectRows(ListId::kChannels, {0});
    host_.dialogAnswers.push_back([&edits](DialogModel) {
      ++edits;
      return DialogAnswer::kCancel;
    });
    ListKey(key);
  }
  EXPECT_EQ(edits, 2);
  EXPECT_EQ(host_.dialogs, (std::vector<DialogKind>{DialogKind::kEditChannel, DialogKind::kEditChannel}));
  Form().SelectRows(ListId::kChannels, {0});
  ListKey(Qt::Key_Delete);
  EXPECT_EQ(Names(), moved.mid(1));
  EXPECT_EQ(CheckImage(View().Image()), "");

  // Shift+F10 opens the channel popup.
  bool popupSeen = false;
  QTimer::singleShot(0, [&popupSeen] {
    if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      popupSeen = popup->objectName() == "chanMenu";
      popup->close();
    }
  });
  ListKey(Qt::Key_F10, Qt::ShiftModifier);
  EXPECT_TRUE(popupSeen);

  // Tab goes from the search field to the list, then to the filters.
  Frame().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
  Form().FindField()->setFocus();
  QTest::keyClick(Form().FindField(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), List());
  QTest::keyClick(List(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), Form().Control(ControlId::kTv));
}

TEST_F(WindowTest, FavoriteSubmenuChecksListsOfTheWholeSelectionAndShowsAmpersands) {
  Start({QString::fromStdString(fixture_)});
  // Rows 0 and 1 into lists 2 and 5, row 2 into list 2 only.
  Form().SelectRows(ListId::kChannels, {0, 1});
  View().OnFavoriteItem(2);
  Form().SelectRows(ListId::kChannels, {0, 1});
  View().OnFavoriteItem(5);
  Form().SelectRows(ListId::kChannels, {2});
  View().OnFavoriteItem(2);
  auto checks = [this](std::vector<int> rows) {
    Form().SelectRows(ListId::kChannels, rows);
    std::unique_ptr<QMenu> menu = Form().BuildChannelMenu();
    std::vector<int> checked;
    QMenu* fav = menu ? menu->findChild<QMenu*>("favoriteMenu") : nullptr;
    if (fav == nullptr) return std::vector<int>{-1};
    const QList<QAction*> items = fav->actions();
    EXPECT_EQ(items.size(), kFavLists);
    for (int k = 0; k < items.size(); ++k) {
      EXPECT_TRUE(items[k]->isCheckable());
      if (items[k]->isChecked()) checked.push_back(k + 1);
    }
    return checked;
  };
  EXPECT_EQ(checks({0, 1}), (std::vector<int>{2, 5}));
  EXPECT_EQ(checks({0, 1, 2}), (std::vector<int>{2}));
  EXPECT_EQ(checks({3}), (std::vector<int>{}));

  // A name with "&" shows as written.
  QComboBox* fav = Form().Combo(ComboId::kFavorite);
  fav->setCurrentIndex(3);
  emit fav->activated(3);
  host_.dialogAnswers.push_back([](DialogModel m) {
    auto* const* d = std::get_if<CFavNameDlg*>(&m);
    if (d == nullptr) return DialogAnswer::kCancel;
    (*d)->name = "Rock & Pop";
    return DialogAnswer::kOk;
  });
  QTest::mouseClick(qobject_cast<QPushButton*>(Form().Control(ControlId::kFavoriteButton)), Qt::LeftButton);
  ASSERT_EQ(View().Channels().FavoriteNames()[2], "Rock & Pop");
  fav->setCurrentIndex(0);
  emit fav->activated(0);
  Form().SelectRows(ListId::kChannels, {0});
  std::unique_ptr<QMenu> menu = Form().BuildChannelMenu();
  ASSERT_NE(menu, nullptr);
  QMenu* favMenu = menu->findChild<QMenu*>("favoriteMenu");
  ASSERT_NE(favMenu, nullptr);
  QAction* third = favMenu->actions()[2];
  EXPECT_EQ(third->text(), "Rock && Pop");
  EXPECT_EQ(third->iconText(), "Rock & Pop");
}

TEST_F(WindowTest, F1OpensTheUserGuide) {
  CMainFrame& f = Start();
  QStringList help;
  for (QAction* a : f.menuBar()->findChild<QMenu*>("menuHelp")->actions())
    if (!a->isSeparator()) help << a->text();
  EXPECT_EQ(help, (QStringList{"&User Guide", "&About Pelagor..."}));
  EXPECT_EQ(f.HelpWindow(), nullptr);
  f.activateWindow();
  QTest::keyClick(f.windowHandle(), Qt::Key_F1);
  QCoreApplication::processEvents();
  ASSERT_NE(f.HelpWindow(), nullptr);
  EXPECT_TRUE(f.HelpWindow()->isVisible());
  QTextBrowser* b = f.HelpWindow()->Browser();
  EXPECT_EQ(b->source(), CHelpWindow::GuideUrl());
  const QString text = b->toPlainText();
  for (const char* task : {"Open a channel file", "Find a channel", "Put channels in a new order", "Favourite lists",
                           "Save for another receiver model", "Fetch from and send to the receiver"})
    EXPECT_TRUE(text.contains(task)) << task;
  // Its pictures are there too.
  EXPECT_FALSE(QImage(":/guide/images/main-window.png").isNull());
  // A second F1 shows the same window again.
  CHelpWindow* first = f.HelpWindow();
  first->close();
  f.UserGuideAction()->trigger();
  EXPECT_EQ(f.HelpWindow(), first);
  EXPECT_TRUE(first->isVisible());
}

TEST_F(WindowTest, PdfOfTheDemoWorkspaceHoldsTheShownChannelsInOrder) {
  CMainFrame& f = Start({QStringLiteral(PELAGOR_DEMO)});
  ASSERT_GT(View().RowCount(), 0);
  QStringList file;
  for (QAction* a : f.menuBar()->findChild<QMenu*>("menuFile")->actions())
    if (!a->isSeparator() && a->isVisible()) file << a->text();
  EXPECT_TRUE(file.contains("&Print...") && file.contains("Print Pre&view...") && file.contains("Export P&DF..."))
      << file.join('|').toStdString();
  // The FTA rows only, so the PDF holds what is shown, not the whole workspace.
  View().OnCasComboChanged(1);
  const QStringList shown = Names();
  ASSERT_GT(shown.size(), 1);
  const std::string pdf = Path("list.pdf");
  host_.saveAnswers.push_back(pdf);
  f.ExportPdfAction()->trigger();
  EXPECT_TRUE(host_.messages.empty());
  QProcess p;
  p.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
  ASSERT_TRUE(p.waitForFinished(30000)) << "pdftotext (poppler-utils) did not run";
  ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  const QString text = QString::fromUtf8(p.readAllStandardOutput());
  EXPECT_TRUE(text.contains("demo.bin")) << text.left(400).toStdString();
  EXPECT_TRUE(text.contains("Chan Name"));
  EXPECT_TRUE(text.contains("Page 1 of"));
  qsizetype at = 0;
  for (const QString& name : shown) {
    const qsizetype next = text.indexOf(name.trimmed(), at);
    ASSERT_GE(next, 0) << "missing or out of order: " << name.toStdString();
    at = next + 1;
  }
  // Channels the filter hides are not printed.
  View().OnCasComboChanged(2);
  const QStringList hidden = Names();
  for (const QString& name : hidden) {
    if (!shown.contains(name)) {
      EXPECT_FALSE(text.contains(name)) << name.toStdString();
    }
  }
}

TEST_F(WindowTest, LockIndicatorsFollowThePlatformOrHide) {
  CMainFrame& f = Start();
  auto indicator = [&f](const char* name) { return f.statusBar()->findChild<QLabel*>(QString("indicator") + name); };
  // The offscreen platform does not tell the lock states: no indicators.
  for (const char* n : {"CAP", "NUM", "SCRL"}) EXPECT_FALSE(indicator(n)->isVisible()) << n;
  LockKeyStates states{true, false, true};
  f.SetLockKeyReader([&states] { return std::optional<LockKeyStates>(states); });
  for (const char* n : {"CAP", "NUM", "SCRL"}) EXPECT_TRUE(indicator(n)->isVisible()) << n;
  EXPECT_TRUE(f.CapsLockShown());
  EXPECT_FALSE(f.NumLockShown());
  EXPECT_TRUE(f.ScrollLockShown());
  // A lock key pressed in the window reads the state again.
  states = {false, true, true};
  QTest::keyClick(f.windowHandle(), Qt::Key_NumLock);
  QCoreApplication::processEvents();
  EXPECT_FALSE(f.CapsLockShown());
  EXPECT_TRUE(f.NumLockShown());
}

}  // namespace
}  // namespace pelagor::guitest
