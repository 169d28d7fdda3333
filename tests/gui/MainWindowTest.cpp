// The real main window on the offscreen platform: menus, toolbar, status
// bar, About box, the form's controls driving the lists, and the file
// commands with their dialogs answered through the modal host.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QWindow>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QFile>
#include <QFileInfo>
#include <fstream>
#include <memory>

#include "app/CAboutDialog.h"
#include "app/CMainFrame.h"
#include "app/CModelSelectDialog.h"
#include "app/CQtModalHost.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "gui/GuiFixture.h"
#include "gui/MainWindowFixture.h"
#include "gui/ScriptedHost.h"
#include "view/CVortanView.h"

namespace pelagor::guitest {
namespace {

QStringList ComboTexts(const QComboBox* c) {
  QStringList out;
  for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
  return out;
}

// Settings are kept from test to test here, as from run to run.
class MainWindowTest : public FixtureWindowFixture {
 protected:
  MainWindowTest() : FixtureWindowFixture(false) {}
  int ChannelRows() { return Form().ChannelTable()->model()->rowCount(); }
  int TpRows() { return Form().TpTable()->model()->rowCount(); }
  QComboBox* Combo(ComboId id) { return Form().Combo(id); }
  void Click(ControlId id) {
    auto* w = Form().Control(id);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(w->isEnabled());
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
  }
  // Picks a combo line as the user does (activation, not a programmatic change).
  void Choose(ComboId id, int index) {
    QComboBox* c = Combo(id);
    ASSERT_LT(index, c->count());
    c->setCurrentIndex(index);
    emit c->activated(index);
  }
  QString Caption(ControlId id) { return qobject_cast<QGroupBox*>(Form().Control(id))->title(); }
};

TEST_F(MainWindowTest, MenusShortcutsToolbarAndStatusBar) {
  QSettings().remove("Recent File List");  // no recent files in the File menu
  CMainFrame& f = Start();
  const QList<QAction*> top = f.menuBar()->actions();
  ASSERT_EQ(top.size(), 5);
  EXPECT_EQ(top[0]->text(), "&File");
  EXPECT_EQ(top[1]->text(), "&Edit");
  EXPECT_EQ(top[2]->text(), "&View");
  EXPECT_EQ(top[3]->text(), "&Link");
  EXPECT_EQ(top[4]->text(), "&Help");
  EXPECT_EQ(MenuTexts(top[0]->menu()),
            (QStringList{"&New", "&Open...", "&Save", "Save &As...", "&Export Channel List...", "Export P&DF...",
                         "Apply &Order from Reference List...", "&Import Channels...", "&Print...", "Print Pre&view...",
                         "E&xit"}));
  EXPECT_EQ(MenuTexts(top[2]->menu()), (QStringList{"&Toolbar", "&Status Bar"}));
  EXPECT_EQ(MenuTexts(top[4]->menu()), (QStringList{"&User Guide", "&About Pelagor..."}));
  EXPECT_EQ(f.NewAction()->shortcut(), QKeySequence("Ctrl+N"));
  EXPECT_EQ(f.OpenAction()->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_EQ(f.SaveAction()->shortcut(), QKeySequence("Ctrl+S"));

  // Toolbar: Open, Save, Save As, Undo, Redo, the link and transfer commands,
  // About, with their tips.
  const QList<QAction*> tools = f.MainToolBar()->actions();
  ASSERT_EQ(tools.size(), 17);
  EXPECT_EQ(tools[0], f.OpenAction());
  EXPECT_EQ(tools[1], f.SaveAction());
  EXPECT_EQ(tools[2], f.SaveAsAction());
  EXPECT_TRUE(tools[3]->isSeparator());
  EXPECT_EQ(tools[4], f.UndoAction());
  EXPECT_EQ(tools[5], f.RedoAction());
  EXPECT_TRUE(tools[6]->isSeparator());
  EXPECT_EQ(tools[7], f.CommandAction(kIdLinkConnect));
  EXPECT_TRUE(tools[15]->isSeparator());
  EXPECT_EQ(tools[16], f.AboutAction());
  struct Tip {
    QAction* action;
    const char* status;
    const char* tool;
  };
  for (const Tip& t : {Tip{f.OpenAction(), "Open an existing document", "Open"},
                       Tip{f.SaveAction(), "Save the active document", "Save"},
                       Tip{f.SaveAsAction(), "Save the active document with a new name", "Save As"}}) {
    EXPECT_EQ(t.action->statusTip(), t.status);
    EXPECT_EQ(t.action->toolTip(), t.tool);
  }

  // Status bar: the idle text comes back after a status tip, and the indicators.
  EXPECT_EQ(f.statusBar()->currentMessage(), CMainFrame::kIdleMessage);
  f.statusBar()->showMessage("Open an existing document");
  f.statusBar()->clearMessage();
  EXPECT_EQ(f.statusBar()->currentMessage(), "For Help, press F1");
  QStringList indicators;
  for (QLabel* l : f.statusBar()->findChildren<QLabel*>())
    if (l->objectName().startsWith("indicator")) indicators << l->text();
  EXPECT_EQ(indicators, (QStringList{"CAP", "NUM", "SCRL"}));
  // The offscreen platform does not tell the lock states, so they are not
  // shown (a key press does not make them guess).
  QTest::keyClick(f.windowHandle(), Qt::Key_CapsLock);
  for (QLabel* l : f.statusBar()->findChildren<QLabel*>()) {
    if (l->objectName().startsWith("indicator")) {
      EXPECT_FALSE(l->isVisible()) << l->text().toStdString();
    }
  }

  // The toggles hide and show the bars.
  QAction* statusToggle = top[2]->menu()->actions()[1];
  statusToggle->trigger();
  EXPECT_FALSE(f.statusBar()->isVisible());
  statusToggle->trigger();
  EXPECT_TRUE(f.statusBar()->isVisible());
  top[2]->menu()->actions()[0]->trigger();
  EXPECT_FALSE(f.MainToolBar()->isVisible());

  // The window is resizable and starts with no file.
  EXPECT_NE(f.minimumSize(), f.maximumSize());
  EXPECT_EQ(Title(), "Pelagor - No File");
  EXPECT_TRUE(host_.messages.empty());
}

TEST_F(MainWindowTest, AboutBox) {
  CAboutDialog about;
  EXPECT_EQ(about.windowTitle(), "About Corvane");
  QStringList lines;
  for (QLabel* l : about.findChildren<QLabel*>())
    if (!l->text().isEmpty()) lines << l->text();
  EXPECT_TRUE(lines.contains("Kelvane "));
  EXPECT_TRUE(lines.contains("Corvane Version 5.00"));
  auto* models = about.findChild<QGroupBox*>("supportedModels");
  ASSERT_NE(models, nullptr);
  EXPECT_EQ(models->title(), "Supported Models");
  QStringList modelLines;
  for (QLabel* l : models->findChildren<QLabel*>()) modelLines << l->text();
  EXPECT_EQ(modelLines, (QStringList{"LINUX : VR39.20HD/V39.20HD/VM39.20HD", "LINUX : VR39.40HD/V39.40HD/VM39.40HD"}));
  EXPECT_EQ(about.findChildren<QPushButton*>().size(), 1);
}

TEST_F(MainWindowTest, CommandLineFileIsOpened) {
  Start({QString::fromStdString(fixture_)});
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_TRUE(Title().startsWith("[V3920HD] ")) << Title().toStdString();
  EXPECT_TRUE(Title().endsWith("fixture.bin")) << Title().toStdString();
  EXPECT_EQ(ChannelRows(), FixtureCounts::kTv);
  EXPECT_EQ(Caption(ControlId::kChannelsGroup), QString("Total %1 channels").arg(FixtureCounts::kTv));
  // First channel sits on the first satellite: its three TPs are listed.
  EXPECT_EQ(TpRows(), FixtureCounts::kAstraTps);
  // Satellite combo in location order: 13.0E, 19.2E, then 0.8W.
  const QStringList sats = ComboTexts(Combo(ComboId::kSatellite));
  ASSERT_EQ(sats.size(), FixtureCounts::kSatellites);
  EXPECT_TRUE(sats[0].contains("[13.0E] HOTBIRD")) << sats[0].toStdString();
  EXPECT_TRUE(sats[1].contains("[19.2E] ASTRA 1")) << sats[1].toStdString();
  EXPECT_TRUE(sats[2].contains("[0.8W] THOR")) << sats[2].toStdString();
  EXPECT_EQ(Combo(ComboId::kSatellite)->currentIndex(), 1);
  // Cells come from the view.
  QAbstractItemModel* m = Form().ChannelTable()->model();
  EXPECT_EQ(m->index(0, kColNo).data().toString(), "1");
  EXPECT_EQ(m->index(0, kColName).data().toString(), "Alpha One");
  EXPECT_EQ(m->index(0, kColSatellite).data().toString(), "ASTRA 1");
  EXPECT_EQ(m->index(0, kColFreq).data().toString(), "11362");
  EXPECT_EQ(m->index(1, kColCas).data().toString(), "O");
}

TEST_F(MainWindowTest, ColumnHeadingsWidthsAndListBehaviour) {
  Start({QString::fromStdString(fixture_)});
  struct Col {
    const char* heading;
    int width;
  };
  const Col expected[] = {{"No.", 50},  {"Chan No.", 50},  {"Chan Name", 160}, {"Satellite", 100}, {"Freq.", 60},
                          {"Pol.", 40}, {"CAS", 40},       {"V_PID", 48},      {"A_PID", 48},      {"P_PID", 48},
                          {"SID", 48},  {"Favorite", 100}, {"Lock", 40},       {"Provider", 100}};
  QTableView* t = Form().ChannelTable();
  ASSERT_EQ(t->model()->columnCount(), 14);
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(t->model()->headerData(i, Qt::Horizontal).toString(), expected[i].heading) << i;
    // The list's widths are the least a column gets; the font may need more.
    EXPECT_GE(t->horizontalHeader()->sectionSize(i), expected[i].width) << i;
  }
  const Col tpExpected[] = {{"No", 44}, {"Freq", 60}, {"SR", 60}, {"Pol", 40}, {"Mod", 52}, {"FEC", 48}, {"Pilot", 48}};
  QTableView* tp = Form().TpTable();
  ASSERT_EQ(tp->model()->columnCount(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(tp->model()->headerData(i, Qt::Horizontal).toString(), tpExpected[i].heading) << i;
    EXPECT_GE(tp->horizontalHeader()->sectionSize(i), tpExpected[i].width) << i;
  }
  for (QTableView* list : {t, tp}) {
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(list->showGrid());
  }
  // Widths survive a rebuild of the rows.
  const int nameWidth = t->horizontalHeader()->sectionSize(kColName);
  Click(ControlId::kRadio);
  EXPECT_EQ(t->horizontalHeader()->sectionSize(kColName), nameWidth);

  // The selection the view sets is what it reads back.
  Click(ControlId::kTv);
  Form().SelectRows(ListId::kChannels, {1, 2, 5});
  EXPECT_EQ(Form().SelectedRows(ListId::kChannels), (std::vector<int>{1, 2, 5}));
  EXPECT_EQ(t->currentIndex().row(), 1);
  Form().SelectRows(ListId::kChannels, {});
  EXPECT_TRUE(Form().SelectedRows(ListId::kChannels).empty());
}

TEST_F(MainWindowTest, FilterControlsChangeTheRows) {
  Start({QString::fromStdString(fixture_)});
  EXPECT_EQ(ComboTexts(Combo(ComboId::kCas)), (QStringList{"All", "FTA", "CAS"}));
  EXPECT_EQ(ComboTexts(Combo(ComboId::kSatFilter)), (QStringList{"All", "Current"}));
  EXPECT_EQ(ComboTexts(Combo(ComboId::kTpFilter)), (QStringList{"All", "Current"}));
  EXPECT_EQ(Combo(ComboId::kFavorite)->count(), 9);
  EXPECT_EQ(Combo(ComboId::kFavorite)->itemText(0), "All");

  struct Step {
    const char* what;
    std::function<void()> act;
    int rows;
  };
  const std::vector<Step> steps = {
      {"Radio", [&] { Click(ControlId::kRadio); }, FixtureCounts::kRadio},
      {"TV", [&] { Click(ControlId::kTv); }, FixtureCounts::kTv},
      {"CAS FTA", [&] { Choose(ComboId::kCas, 1); }, FixtureCounts::kTv - FixtureCounts::kCas},
      {"CAS only", [&] { Choose(ComboId::kCas, 2); }, FixtureCounts::kCas},
      {"CAS all", [&] { Choose(ComboId::kCas, 0); }, FixtureCounts::kTv},
      // Current satellite ASTRA 1: four TV channels.
      {"SAT current", [&] { Choose(ComboId::kSatFilter, 1); }, 4},
      // HOTBIRD (line 1 in location order): two.
      {"satellite HOTBIRD", [&] { Choose(ComboId::kSatellite, 0); }, 2},
      {"satellite THOR", [&] { Choose(ComboId::kSatellite, 2); }, 1},
      {"SAT all", [&] { Choose(ComboId::kSatFilter, 0); }, FixtureCounts::kTv},
      // Favourite list 1 is empty in the fixture.
      {"favourite 1", [&] { Choose(ComboId::kFavorite, 1); }, 0},
      {"favourite all", [&] { Choose(ComboId::kFavorite, 0); }, FixtureCounts::kTv},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(ChannelRows(), s.rows) << s.what;
    EXPECT_EQ(Caption(ControlId::kChannelsGroup), QString("Total %1 channels").arg(s.rows)) << s.what;
  }
  // Choosing THOR left its single TP in the TP list.
  EXPECT_EQ(TpRows(), 1);
}

TEST_F(MainWindowTest, DeliveryTypeAndTunerButtons) {
  Start({QString::fromStdString(fixture_)});
  auto checked = [&](ControlId id) { return qobject_cast<QAbstractButton*>(Form().Control(id))->isChecked(); };
  EXPECT_TRUE(checked(ControlId::kTuner1DvbS));
  EXPECT_TRUE(checked(ControlId::kTuner2DvbS));
  EXPECT_TRUE(checked(ControlId::kTuner1));
  EXPECT_FALSE(checked(ControlId::kTuner2));
  EXPECT_TRUE(checked(ControlId::kTv));
  EXPECT_TRUE(checked(ControlId::kLocation));

  struct Step {
    ControlId button;
    const char* tpCaption;
    int tpRows;
    bool satelliteEnabled;
  };
  const Step steps[] = {
      {ControlId::kTuner1DvbT, "Channel", kDvbTPlanRows, false},
      {ControlId::kTuner1DvbC, "Frequency", 0, false},
      {ControlId::kTuner1DvbS, "Transponder", FixtureCounts::kAstraTps, true},
  };
  for (const Step& s : steps) {
    Click(s.button);
    EXPECT_TRUE(checked(s.button));
    EXPECT_EQ(Caption(ControlId::kTransponderGroup), s.tpCaption);
    EXPECT_EQ(TpRows(), s.tpRows) << s.tpCaption;
    EXPECT_EQ(Form().Control(ControlId::kSatelliteCombo)->isEnabled(), s.satelliteEnabled) << s.tpCaption;
    EXPECT_EQ(Form().Control(ControlId::kSatAdd)->isEnabled(), s.satelliteEnabled) << s.tpCaption;
  }
  // DVB-T shows one satellite line and the terrestrial plan.
  Click(ControlId::kTuner1DvbT);
  EXPECT_EQ(ComboTexts(Combo(ComboId::kSatellite)), QStringList{"DVB-T"});
  EXPECT_EQ(Form().TpTable()->model()->index(0, 2).data().toString(), "177500");
  Click(ControlId::kTuner1DvbS);

  // Equal types: Tuner2 adds tuner 2 to the shown set; Tuner1 then removes tuner 1.
  Click(ControlId::kTuner2);
  EXPECT_TRUE(checked(ControlId::kTuner1));
  EXPECT_TRUE(checked(ControlId::kTuner2));
  Click(ControlId::kTuner1);
  EXPECT_FALSE(checked(ControlId::kTuner1));
  EXPECT_TRUE(checked(ControlId::kTuner2));
  EXPECT_EQ(Form().View().State().tunerSelection, 2);
}

TEST_F(MainWindowTest, OpenSaveAsAnotherModelAndReopen) {
  CMainFrame& f = Start();
  host_.openAnswers.push_back(fixture_);
  f.OpenAction()->trigger();
  EXPECT_TRUE(Title().startsWith("[V3920HD] "));
  EXPECT_EQ(ChannelRows(), FixtureCounts::kTv);

  // Save As V55.06HD (radio position 1); the dialog opened on V39.20HD (3).
  const std::string out = Path("converted.bin");
  host_.modelAnswers.push_back(1);
  host_.saveAnswers.push_back(out);
  f.SaveAsAction()->trigger();
  ASSERT_EQ(host_.modelPreselections, std::vector<int>{3});
  EXPECT_TRUE(Title().startsWith("[V5506HD] ")) << Title().toStdString();
  EXPECT_TRUE(Title().endsWith("converted.bin")) << Title().toStdString();
  EXPECT_TRUE(std::ifstream(out).good());

  // Cancelling the file dialog after choosing another model keeps the model.
  host_.modelAnswers.push_back(0);
  host_.saveAnswers.push_back(std::nullopt);
  f.SaveAsAction()->trigger();
  EXPECT_EQ(host_.modelPreselections.back(), 1);
  EXPECT_TRUE(Title().startsWith("[V5506HD] "));

  // A fresh window reads the converted file back as that model.
  app_.reset();
  Start();
  host_.openAnswers.push_back(out);
  app_->MainFrame()->OpenAction()->trigger();
  EXPECT_TRUE(Title().startsWith("[V5506HD] ")) << Title().toStdString();
  EXPECT_TRUE(Title().endsWith("converted.bin"));
  EXPECT_EQ(ChannelRows(), FixtureCounts::kTv);
  EXPECT_TRUE(host_.messages.empty());

  // New forgets the file but keeps the data.
  app_->MainFrame()->NewAction()->trigger();
  EXPECT_EQ(Title(), "Pelagor - New Channel List *");
  EXPECT_EQ(ChannelRows(), FixtureCounts::kTv);
}

TEST_F(MainWindowTest, BadFilesShowTheirMessageAndLeaveTheWindowUsable) {
  const std::string garbage = Path("garbage.bin");
  {
    std::ofstream g(garbage, std::ios::binary);
    g << std::string(100, '\x5a');
  }
  struct Case {
    std::string path;
    const char* message;
  };
  for (const Case& c : {Case{garbage, "Invalid File Format !"}, Case{Path("missing.bin"), "File Open Error !!!"}}) {
    host_.messages.clear();
    Start({QString::fromStdString(c.path)});
    ASSERT_EQ(host_.messages.size(), 1u) << c.message;
    EXPECT_EQ(host_.messages[0].text, c.message);
    EXPECT_EQ(host_.messages[0].icon, MessageIcon::kStop);
    EXPECT_EQ(Title(), "Pelagor - No File");
    EXPECT_EQ(ChannelRows(), 0);
    // Still usable: a good file opens through the menu.
    host_.openAnswers.push_back(fixture_);
    app_->MainFrame()->OpenAction()->trigger();
    EXPECT_EQ(ChannelRows(), FixtureCounts::kTv) << c.message;
    EXPECT_EQ(host_.messages.size(), 1u);
  }
  // A cancelled Open says so and changes nothing.
  host_.openAnswers.push_back(std::nullopt);
  app_->MainFrame()->OpenAction()->trigger();
  ASSERT_EQ(host_.messages.size(), 2u);
  EXPECT_EQ(host_.messages[1].text, "File Open Failed !");
  EXPECT_EQ(ChannelRows(), FixtureCounts::kTv);
}

TEST_F(MainWindowTest, LeavingWithoutChangesAsksNothing) {
  CMainFrame& f = Start({QString::fromStdString(fixture_)});
  EXPECT_TRUE(f.close());
  EXPECT_EQ(host_.leaveQuestions, 0);
}

TEST_F(MainWindowTest, LeavingWithUnsavedChangesAsksFirst) {
  struct Case {
    const char* what;
    SaveChangesAnswer answer;
    bool closes;
    bool written;
  };
  const Case cases[] = {
      {"cancel", SaveChangesAnswer::kCancel, false, false},
      {"discard", SaveChangesAnswer::kDiscard, true, false},
      {"save", SaveChangesAnswer::kSave, true, true},
  };
  for (const Case& c : cases) {
    const std::string path = Path("edited.bin");
    host_ = Shared{};
    CMainFrame& f = Start({QString::fromStdString(fixture_)});
    // Point the workspace at the scratch file, then edit: what every channel edit ends with.
    host_.modelAnswers.push_back(3);
    host_.saveAnswers.push_back(path);
    f.SaveAsAction()->trigger();
    // Emptied, so a write on leaving shows.
    QFile::resize(QString::fromStdString(path), 0);
    Form().View().MarkModified();
    ASSERT_TRUE(Title().endsWith(" *")) << c.what;

    host_.leaveAnswers.push_back(c.answer);
    EXPECT_EQ(f.close(), c.closes) << c.what;
    EXPECT_EQ(host_.leaveQuestions, 1) << c.what;
    EXPECT_EQ(f.isVisible(), !c.closes) << c.what;
    EXPECT_EQ(QFileInfo(QString::fromStdString(path)).size() > 0, c.written) << c.what;
    EXPECT_EQ(Form().View().Modified(), !c.written) << c.what;
  }
}

TEST_F(MainWindowTest, SaveOnLeavingWithoutAFileRunsSaveAsAndItsCancelKeepsTheWindow) {
  CMainFrame& f = Start({QString::fromStdString(fixture_)});
  f.NewAction()->trigger();
  Form().View().MarkModified();
  host_.leaveAnswers.push_back(SaveChangesAnswer::kSave);
  host_.modelAnswers.push_back(std::nullopt);  // Cancel in "Select Model ..."
  EXPECT_FALSE(f.close());
  EXPECT_TRUE(f.isVisible());
  // Second try: the model and a file are chosen, the write succeeds, the window goes.
  const std::string out = Path("saved-on-exit.bin");
  host_.leaveAnswers.push_back(SaveChangesAnswer::kSave);
  host_.modelAnswers.push_back(4);
  host_.saveAnswers.push_back(out);
  EXPECT_TRUE(f.close());
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(out)));
  EXPECT_EQ(host_.leaveQuestions, 2);
}

TEST_F(MainWindowTest, RebuildIsOneResetAndRefreshOneChange) {
  Start({QString::fromStdString(fixture_)});
  QAbstractItemModel* m = Form().ChannelTable()->model();
  QSignalSpy resets(m, &QAbstractItemModel::modelReset);
  QSignalSpy inserts(m, &QAbstractItemModel::rowsInserted);
  QSignalSpy changes(m, &QAbstractItemModel::dataChanged);
  Click(ControlId::kRadio);
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(inserts.count(), 0);
  EXPECT_EQ(changes.count(), 0);
  Form().View().FillChannelList(ChannelFill::Refresh());
  EXPECT_EQ(resets.count(), 1);
  ASSERT_EQ(changes.count(), 1);
  const auto tl = changes[0][0].value<QModelIndex>();
  const auto br = changes[0][1].value<QModelIndex>();
  EXPECT_EQ(tl.row(), 0);
  EXPECT_EQ(br.row(), FixtureCounts::kRadio - 1);
  EXPECT_EQ(br.column(), kChannelColumns - 1);
}

TEST_F(MainWindowTest, ScreenshotOptionWritesThePngOfTheWindow) {
  const QString png = QString::fromStdString(Path("shot.png"));
  QProcess p;
  p.start(PELAGOR_BINARY, {"--screenshot", png, QString::fromStdString(fixture_)});
  ASSERT_TRUE(p.waitForFinished(30000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  QImage image(png);
  ASSERT_FALSE(image.isNull());
  // The same window, built here, has the same size.
  CMainFrame& f = Start({QString::fromStdString(fixture_)});
  EXPECT_EQ(image.size(), f.size());

  // A command line it does not understand is an error, not a window.
  QProcess bad;
  bad.start(PELAGOR_BINARY, {"--no-such-option"});
  ASSERT_TRUE(bad.waitForFinished(30000));
  EXPECT_EQ(bad.exitCode(), 2);
}

TEST(ModelSelectDialogTest, RadiosPreselectionAndChoice) {
  ModelSelectDlg model;
  model.position = ModelSelectDlg::PreselectionFor(3);  // VM39.20HD
  CModelSelectDialog dlg(model);
  EXPECT_EQ(dlg.windowTitle(), "Select Model ...");
  auto* group = dlg.findChild<QGroupBox*>();
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), "Model Name");
  const QList<QRadioButton*> radios = group->findChildren<QRadioButton*>();
  ASSERT_EQ(radios.size(), 6);
  const char* labels[] = {"V44.06HD", "V55.06HD", "V66.06HD", "V39.20HD", "VR39.20HD", "VM39.20HD"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(radios[i]->text(), labels[i]);
    EXPECT_EQ(radios[i]->isEnabled(), i != 2) << i;
    EXPECT_EQ(radios[i]->isChecked(), i == 5) << i;
  }
  auto* next = dlg.findChild<QPushButton*>("nextButton");
  auto* cancel = dlg.findChild<QPushButton*>("cancelButton");
  ASSERT_NE(next, nullptr);
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(next->text(), "Next >>");
  EXPECT_EQ(cancel->text(), "Cancel");

  dlg.show();
  QTest::mouseClick(radios[1], Qt::LeftButton, {}, QPoint(4, radios[1]->height() / 2));
  QTest::mouseClick(next, Qt::LeftButton);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(model.position, 1);

  // Cancel leaves the model's position alone.
  ModelSelectDlg other;
  other.position = 0;
  CModelSelectDialog dlg2(other);
  dlg2.show();
  QTest::mouseClick(dlg2.findChildren<QRadioButton*>()[4], Qt::LeftButton, {}, QPoint(4, 8));
  QTest::mouseClick(dlg2.findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
  EXPECT_EQ(dlg2.result(), QDialog::Rejected);
  EXPECT_EQ(other.position, 0);
}

TEST(QtModalHostTest, FileFiltersBecomeQtNameFilters) {
  EXPECT_EQ(CQtModalHost::QtNameFilters(CVortanView::OpenFileRequest().filter),
            "Download image(*.bin);;Channel template(*.csv);;Main Only(*.rom);;All files(*)");
  EXPECT_EQ(CQtModalHost::QtNameFilters(CVortanView::SaveFileRequest().filter), "Binary Data(*.bin);;All Files (*)");
  EXPECT_EQ(CQtModalHost::QtNameFilters("Text|*.txt;*.log|"), "Text (*.txt *.log)");
}

}  // namespace
}  // namespace pelagor::guitest
