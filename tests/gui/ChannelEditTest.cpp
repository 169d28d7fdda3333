// Channel editing in the real main window: a mouse drag of two rows to a
// new place, the CHAN popup, the keys and double-click of the channel list
// and the "Favorite" button reaching their commands, and a refused field in
// the real edit dialog run by the Qt modal host.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>
#include <memory>

#include "app/CAddChanDialog.h"
#include "app/CEditChanDialog.h"
#include "app/CProviderSelectDialog.h"
#include "app/CMainFrame.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "gui/GuiFixture.h"
#include "gui/ScriptedHost.h"
#include "view/CFavNameDlg.h"
#include "view/CVortanView.h"

namespace pelagor::guitest {
namespace {

// The TV rows of the fixture, in ChannelOrder.
const QStringList kTvNames = {"Alpha One", "Alpha Two", "Bravo", "Charlie HD", "Delta", "Echo", "Foxtrot"};

QAction* FindAction(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions()) {
    if (a->text() == text) return a;
    if (a->menu() != nullptr)
      if (QAction* inner = FindAction(a->menu(), text)) return inner;
  }
  return nullptr;
}

// Members are public: the case tables below drive the fixture from outside.
class ChannelEditTest : public testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    fixture_ = dir_.filePath("fixture.bin").toStdString();
    ASSERT_TRUE(WriteFixture(fixture_, 1));
  }

  // The application on the fixture; scripted: dialogs answered by the test.
  void Start(bool scripted = true) {
    app_ = std::make_unique<CVortanApp>();
    if (scripted) app_->SetModalHostFactory([this] { return std::make_unique<ScriptedHost>(host_); });
    ASSERT_TRUE(app_->Start({"pelagor", QString::fromStdString(fixture_)}));
    ASSERT_EQ(Names(), kTvNames);
  }
  CVortanForm& Form() { return *app_->MainFrame()->Form(); }
  CVortanView& View() { return Form().View(); }
  CDragDropListCtrl* List() { return Form().ChannelTable(); }
  QWidget* Port() { return List()->viewport(); }
  QString Cell(int row, int column) { return List()->model()->index(row, column).data().toString(); }
  QStringList Names() {
    QStringList out;
    for (int r = 0; r < List()->model()->rowCount(); ++r) out << Cell(r, kColName);
    return out;
  }
  QPoint RowPoint(int row, int x = 30) { return {x, List()->rowViewportPosition(row) + List()->rowHeight(row) / 2}; }
  void ClickRow(int row, Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(Port(), Qt::LeftButton, mods, RowPoint(row));
  }
  std::vector<int> Selected() { return Form().SelectedRows(ListId::kChannels); }
  void Menu(const QString& text) {
    std::unique_ptr<QMenu> menu = Form().BuildChannelMenu();
    ASSERT_NE(menu, nullptr);
    QAction* a = FindAction(menu.get(), text);
    ASSERT_NE(a, nullptr) << text.toStdString();
    a->trigger();
  }
  void Key(int key, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(List(), Qt::Key(key), mods); }
  // Answers the next dialog with Cancel, keeping what it was opened with.
  void CancelNext(std::string* name = nullptr) {
    host_.dialogAnswers.push_back([name](DialogModel m) {
      if (auto* const* e = std::get_if<CEditChanDlg*>(&m); e != nullptr && name != nullptr) *name = (*e)->name;
      return DialogAnswer::kCancel;
    });
  }

  QTemporaryDir dir_;
  std::string fixture_;
  Shared host_;
  std::string edited_;  // name an edit dialog was opened with
  std::unique_ptr<CVortanApp> app_;
};

TEST_F(ChannelEditTest, DraggingTwoRowsWithTheMouseMovesThemBeforeTheDropRow) {
  Start();
  std::vector<uint16_t> order;
  for (int i = 0; i < 9; ++i) order.push_back(View().Image().Order(i));
  ClickRow(1);
  ClickRow(2, Qt::ShiftModifier);
  ASSERT_EQ(Selected(), (std::vector<int>{1, 2}));
  QTest::mousePress(Port(), Qt::LeftButton, {}, RowPoint(1));
  QTest::mouseMove(Port(), RowPoint(2));
  QTest::mouseMove(Port(), RowPoint(4, 400));
  QTest::mouseMove(Port(), RowPoint(5, 200));
  ASSERT_TRUE(List()->Dragging());
  EXPECT_EQ(List()->Target().DropIndex(), 5);
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, RowPoint(5, 200));
  EXPECT_FALSE(List()->Dragging());
  // Dropped on Echo: the two rows now stand before it, and stay selected.
  EXPECT_EQ(Names(), (QStringList{"Alpha One", "Charlie HD", "Delta", "Alpha Two", "Bravo", "Echo", "Foxtrot"}));
  EXPECT_EQ(Selected(), (std::vector<int>{3, 4}));
  // The receiver's order moved the same way; the radio entries behind the
  // TV channels kept their places, and the channel numbers stayed.
  const std::vector<uint16_t> expected = {order[0], order[3], order[4], order[1], order[2],
                                          order[5], order[6], order[7], order[8]};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(View().Image().Order(i), expected[size_t(i)]) << i;
  EXPECT_EQ(Cell(3, kColChanNo), "2");
  EXPECT_TRUE(View().State().cutList.empty());
  EXPECT_TRUE(View().Modified());
  EXPECT_TRUE(app_->MainFrame()->windowTitle().contains('*')) << app_->MainFrame()->windowTitle().toStdString();
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(ChannelEditTest, DroppingOnTheLastRowMovesBeforeIt) {
  Start();
  ClickRow(0);
  QTest::mousePress(Port(), Qt::LeftButton, {}, RowPoint(0));
  QTest::mouseMove(Port(), RowPoint(3));
  QTest::mouseMove(Port(), RowPoint(6));
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, RowPoint(6));
  EXPECT_EQ(Names(), (QStringList{"Alpha Two", "Bravo", "Charlie HD", "Delta", "Echo", "Alpha One", "Foxtrot"}));
  EXPECT_EQ(Selected(), std::vector<int>{5});
}

// Each way in reaches its command: what the command did is checked.
struct Way {
  const char* label;
  std::function<void(ChannelEditTest&)> act;
  std::function<void(ChannelEditTest&)> check;
};

class ChannelCommandWays : public ChannelEditTest, public testing::WithParamInterface<Way> {};

TEST_P(ChannelCommandWays, ReachTheirCommand) {
  Start();
  GetParam().act(*this);
  GetParam().check(*this);
  EXPECT_TRUE(host_.dialogAnswers.empty()) << "a dialog that was expected did not open";
}

INSTANTIATE_TEST_SUITE_P(
    KeysMenuAndButton, ChannelCommandWays,
    testing::Values(
        Way{"KeyInsertAddsAChannel",
            [](ChannelEditTest& t) {
              t.CancelNext();
              t.Key(Qt::Key_Insert);
            },
            [](ChannelEditTest& t) { EXPECT_EQ(t.host_.dialogs, std::vector{DialogKind::kAddChannel}); }},
        Way{"MenuAddChannel",
            [](ChannelEditTest& t) {
              t.ClickRow(0);
              t.CancelNext();
              t.Menu("&Add Channel...\tInsert");
            },
            [](ChannelEditTest& t) { EXPECT_EQ(t.host_.dialogs, std::vector{DialogKind::kAddChannel}); }},
        Way{"KeyReturnEditsTheFirstSelected",
            [](ChannelEditTest& t) {
              t.ClickRow(2);
              t.CancelNext(&t.edited_);
              t.Key(Qt::Key_Return);
            },
            [](ChannelEditTest& t) { EXPECT_EQ(t.edited_, "Bravo"); }},
        Way{"KeypadEnterEdits",
            [](ChannelEditTest& t) {
              t.ClickRow(3);
              t.CancelNext(&t.edited_);
              t.Key(Qt::Key_Enter, Qt::KeypadModifier);
            },
            [](ChannelEditTest& t) { EXPECT_EQ(t.edited_, "Charlie HD"); }},
        Way{"DoubleClickEdits",
            [](ChannelEditTest& t) {
              t.CancelNext(&t.edited_);
              t.ClickRow(4);
              QTest::mouseDClick(t.Port(), Qt::LeftButton, {}, t.RowPoint(4));
            },
            [](ChannelEditTest& t) { EXPECT_EQ(t.edited_, "Delta"); }},
        Way{"MenuEditChannel",
            [](ChannelEditTest& t) {
              t.ClickRow(5);
              t.CancelNext(&t.edited_);
              t.Menu("&Edit Channel...\tEnter");
            },
            [](ChannelEditTest& t) { EXPECT_EQ(t.edited_, "Echo"); }},
        Way{"KeyDeleteDeletes",
            [](ChannelEditTest& t) {
              t.ClickRow(1);
              t.Key(Qt::Key_Delete);
            },
            [](ChannelEditTest& t) {
              EXPECT_EQ(t.Names(), (QStringList{"Alpha One", "Bravo", "Charlie HD", "Delta", "Echo", "Foxtrot"}));
              EXPECT_EQ(t.Selected(), std::vector<int>{1});
            }},
        Way{"MenuDeleteChannel",
            [](ChannelEditTest& t) {
              t.ClickRow(6);
              t.Menu("&Delete Channel\tDel");
            },
            [](ChannelEditTest& t) {
              EXPECT_EQ(t.Names(), kTvNames.mid(0, 6));
              EXPECT_EQ(t.Selected(), std::vector<int>{5});
            }},
        Way{"MenuLockThenUnlock",
            [](ChannelEditTest& t) {
              t.ClickRow(0);
              t.ClickRow(2, Qt::ControlModifier);
              t.Menu("&Lock");
              EXPECT_EQ(t.Cell(0, kColLock), "O");
              EXPECT_EQ(t.Cell(1, kColLock), "");
              EXPECT_EQ(t.Cell(2, kColLock), "O");
              t.ClickRow(2);
              t.Menu("&Unlock");
            },
            [](ChannelEditTest& t) {
              EXPECT_EQ(t.Cell(0, kColLock), "O");
              EXPECT_EQ(t.Cell(2, kColLock), "");
            }},
        Way{"MenuFavoriteItemUnderItsName",
            [](ChannelEditTest& t) {
              t.ClickRow(4);
              // The fixture's lists have no names: the item keeps its menu text.
              const std::string name = t.View().ChannelContextMenu().favoriteTexts[2];
              EXPECT_EQ(name, "FAV-3");
              std::unique_ptr<QMenu> menu = t.Form().BuildChannelMenu();
              QMenu* favorites = menu->findChild<QMenu*>("favoriteMenu");
              ASSERT_NE(favorites, nullptr);
              EXPECT_EQ(favorites->title(), "&Favorite...");
              ASSERT_EQ(favorites->actions().size(), 8);
              QAction* third = favorites->actions()[2];
              EXPECT_EQ(third->text().toStdString(), name);
              third->trigger();
            },
            [](ChannelEditTest& t) {
              // Into favourite list 3 (bit 2), the other rows untouched.
              EXPECT_EQ(t.View().Image().ChanWordField(t.View().ChannelOfRow(4), chw::kFavMask), 4u);
              EXPECT_EQ(t.View().Image().ChanWordField(t.View().ChannelOfRow(3), chw::kFavMask), 0u);
              EXPECT_TRUE(t.View().Modified());
            }},
        Way{"MenuCutThenPaste",
            [](ChannelEditTest& t) {
              t.ClickRow(0);
              t.Menu("&Cut Channel");
              EXPECT_EQ(t.View().State().cutList, std::vector<uint16_t>{t.View().ChannelOfRow(0)});
              t.ClickRow(3);
              t.Menu("&Paste Channel");
            },
            [](ChannelEditTest& t) {
              EXPECT_EQ(t.Names(),
                        (QStringList{"Alpha Two", "Bravo", "Alpha One", "Charlie HD", "Delta", "Echo", "Foxtrot"}));
              EXPECT_EQ(t.Selected(), std::vector<int>{2});
            }},
        Way{"PasteWithNothingCutIsDisabled",
            [](ChannelEditTest& t) {
              t.ClickRow(3);
              t.Menu("&Paste Channel");
            },
            [](ChannelEditTest& t) { EXPECT_EQ(t.Names(), kTvNames); }},
        Way{"MenuSortByNameAndReassign",
            [](ChannelEditTest& t) {
              t.ClickRow(6);
              t.Menu("&Cut Channel");
              t.ClickRow(0);
              t.Menu("&Paste Channel");
              ASSERT_EQ(t.Names().front(), "Foxtrot");
              t.Menu("&Reassign Channel No.");
              EXPECT_EQ(t.Cell(0, kColChanNo), "1");
              EXPECT_EQ(t.Cell(1, kColChanNo), "2");
              t.Menu("Sort by &Name");
            },
            [](ChannelEditTest& t) {
              EXPECT_EQ(t.Names(), kTvNames);
              EXPECT_EQ(t.Cell(6, kColChanNo), "1");
              t.Menu("Sort by Chan N&o");
              EXPECT_EQ(t.Names().front(), "Foxtrot");
            }},
        Way{"FavoriteButtonRenamesTheShownList",
            [](ChannelEditTest& t) {
              QComboBox* fav = t.Form().Combo(ComboId::kFavorite);
              fav->setCurrentIndex(2);
              emit fav->activated(2);
              t.host_.dialogAnswers.push_back([](DialogModel m) {
                auto* const* d = std::get_if<CFavNameDlg*>(&m);
                EXPECT_NE(d, nullptr);
                if (d == nullptr) return DialogAnswer::kCancel;
                (*d)->name = "Kids";
                return DialogAnswer::kOk;
              });
              QTest::mouseClick(qobject_cast<QPushButton*>(t.Form().Control(ControlId::kFavoriteButton)),
                                Qt::LeftButton);
            },
            [](ChannelEditTest& t) {
              EXPECT_EQ(t.host_.dialogs, std::vector{DialogKind::kFavoriteName});
              EXPECT_EQ(t.View().Channels().FavoriteNames()[1], "Kids");
              EXPECT_EQ(t.Form().Combo(ComboId::kFavorite)->itemText(2), "Kids");
            }}),
    [](const testing::TestParamInfo<Way>& info) { return std::string(info.param.label); });

TEST_F(ChannelEditTest, TheRealEditDialogRefusesABadPidAndKeepsTheFocusOnIt) {
  Start(/*scripted=*/false);
  ClickRow(1);
  std::string refusal;
  bool focusOnPcr = false;
  bool stayedOpen = false;
  // The dialog and its message box are modal; they are worked from inside
  // their own event loops.
  QTimer::singleShot(0, [&] {
    auto* dlg = qobject_cast<CEditChanDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    QLineEdit* pcr = dlg->Edit(CEditChanDlg::Field::kPcrPid);
    pcr->setText("9000");
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      refusal = box->text().toStdString();
      box->accept();
    });
    QTest::mouseClick(dlg->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    focusOnPcr = dlg->focusWidget() == pcr;
    stayedOpen = dlg->isVisible();
    pcr->setText("300");
    QTest::mouseClick(dlg->findChild<QPushButton*>("okButton"), Qt::LeftButton);
  });
  Key(Qt::Key_Return);
  EXPECT_EQ(refusal, "Please enter an integer between 0 and 8192.");
  EXPECT_TRUE(focusOnPcr);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(Cell(1, kColPPid), "300");
  EXPECT_TRUE(View().Modified());
}

TEST_F(ChannelEditTest, TheRealAddDialogAddsARadioChannelOnTheCurrentTransponder) {
  Start(/*scripted=*/false);
  std::string satellite, transponder;
  QTimer::singleShot(0, [&] {
    auto* dlg = qobject_cast<CAddChanDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    satellite = dlg->findChild<QLineEdit*>("satelliteText")->text().toStdString();
    transponder = dlg->findChild<QLineEdit*>("transponderText")->text().toStdString();
    using F = CAddChanDlg::Field;
    QTest::keyClicks(dlg->Edit(F::kName), "Radio New");
    for (auto [f, text] : {std::pair{F::kChannelNumber, "42"}, std::pair{F::kVideoPid, "8192"},
                           std::pair{F::kAudioPid, "301"}, std::pair{F::kServiceId, "777"}}) {
      dlg->Edit(f)->selectAll();
      QTest::keyClicks(dlg->Edit(f), text);
    }
    QTest::keyClick(dlg->Edit(F::kServiceId), Qt::Key_Return);  // Enter is OK
  });
  Key(Qt::Key_Insert);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(satellite, "ASTRA 1");
  EXPECT_EQ(transponder, "11362 / 22000");
  // No video PID: a radio channel, not shown among the TV rows.
  EXPECT_EQ(Names(), kTvNames);
  EXPECT_TRUE(View().Modified());
  QTest::mouseClick(qobject_cast<QAbstractButton*>(Form().Control(ControlId::kRadio)), Qt::LeftButton);
  const QStringList radio = Names();
  ASSERT_EQ(radio.size(), 3);
  EXPECT_EQ(radio.back(), "Radio New");
  EXPECT_EQ(Cell(2, kColChanNo), "42");
  EXPECT_EQ(Cell(2, kColAPid), "301");
  EXPECT_EQ(Cell(2, kColSid), "777");
  EXPECT_EQ(Cell(2, kColFreq), "11362");
}

TEST_F(ChannelEditTest, TheRealProviderDialogGivesTwoChannelsATypedNewProvider) {
  Start(/*scripted=*/false);
  // Provider data as a receiver sends it: two names in use.
  Workspace& ws = View().GetWorkspace();
  ws.providerPresent = true;
  for (auto [i, name] : {std::pair{0, "NEWS"}, std::pair{1, "Unknown"}}) {
    ws.providers.entries[size_t(i)].name.fill(0);
    std::memcpy(ws.providers.entries[size_t(i)].name.data(), name, std::strlen(name));
  }
  ws.providers.count = 2;
  ClickRow(2);
  ClickRow(3, Qt::ControlModifier);
  QStringList lines;
  QTimer::singleShot(0, [&] {
    auto* dlg = qobject_cast<CProviderSelectDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dlg, nullptr);
    for (int i = 0; i < dlg->Combo()->count(); ++i) lines << dlg->Combo()->itemText(i);
    dlg->Combo()->lineEdit()->selectAll();
    QTest::keyClicks(dlg->Combo()->lineEdit(), "news");
    QTest::mouseClick(dlg->findChild<QPushButton*>("okButton"), Qt::LeftButton);
  });
  Menu("Se&t Provider");
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_EQ(lines, (QStringList{"Unknown", "NEWS"}));
  // "news" differs from "NEWS" in case: a new entry, the first free one.
  EXPECT_EQ(ws.providers.Name(2), "news");
  EXPECT_EQ(ws.providers.entries[2].usage, 2u);
  EXPECT_EQ(Cell(2, kColProvider), "news");
  EXPECT_EQ(Cell(3, kColProvider), "news");
  EXPECT_NE(Cell(1, kColProvider), "news");
}

}  // namespace
}  // namespace pelagor::guitest
