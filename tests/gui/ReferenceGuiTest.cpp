// The reference-list commands in the real main window on the offscreen
// platform, through the real Qt dialogs: the File menu items, the saved
// order back after a sort by name, the option boxes and the unmatched
// choice, the report's copy buttons, the import list's filters and checks,
// and Undo of each as one step.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/CMainFrame.h"
#include "app/CReferenceDialogs.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "db/ImageChecker.h"
#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "samples/WorkspaceBuilder.h"
#include "gui/ScriptedHost.h"
#include "db/DbOps.h"
#include "view/CVortanView.h"
#include "view/ReferenceList.h"

namespace pelagor::guitest {
namespace {

// What the test does inside each real dialog before it is closed.
struct DialogScript {
  std::function<void(CApplyOrderDialog&)> options;
  std::function<void(CImportChannelsDialog&)> import;
  std::function<void(CReferenceReportDialog&)> report;
  int reports = 0;
};

void Show(QDialog& dlg) {
  dlg.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
}

// The scripted host of the other GUI tests, with the reference dialogs
// shown for real: the test acts on their widgets and presses their buttons.
class ReferenceHost : public ScriptedHost {
 public:
  ReferenceHost(Shared& s, DialogScript& script) : ScriptedHost(s), script_(script) {}
  DialogAnswer RunReferenceDialog(ReferenceDialogModel model) override {
    if (auto* const* m = std::get_if<CApplyOrderDlg*>(&model)) {
      CApplyOrderDialog dlg(**m);
      return Drive(dlg, script_.options);
    }
    if (auto* const* m = std::get_if<CImportChannelsDlg*>(&model)) {
      CImportChannelsDialog dlg(**m);
      return Drive(dlg, script_.import);
    }
    auto* const* m = std::get_if<CReferenceReportDlg*>(&model);
    CReferenceReportDialog dlg(**m);
    ++script_.reports;
    return Drive(dlg, script_.report);
  }

 private:
  template <class D>
  DialogAnswer Drive(D& dlg, const std::function<void(D&)>& act) {
    Show(dlg);
    if (act) act(dlg);
    if (dlg.isVisible()) QTest::mouseClick(dlg.template findChild<QPushButton*>("okButton"), Qt::LeftButton);
    return dlg.result() == QDialog::Accepted ? DialogAnswer::kOk : DialogAnswer::kCancel;
  }
  DialogScript& script_;
};

class ReferenceGuiTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QSettings().clear();
    demo_ = Path("demo.bin");
    ASSERT_EQ(WriteDownloadImage(DemoWorkspace(), demo_), 1);
  }
  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }
  CMainFrame& Start(const std::string& file) {
    app_ = std::make_unique<CVortanApp>();
    app_->SetModalHostFactory([this] { return std::make_unique<ReferenceHost>(host_, script_); });
    EXPECT_TRUE(app_->Start({"pelagor", QString::fromStdString(file)}));
    QCoreApplication::processEvents();  // the command states follow the title, queued
    return *app_->MainFrame();
  }
  CMainFrame& Frame() { return *app_->MainFrame(); }
  CVortanView& View() { return Frame().Form()->View(); }
  QAction* Action(const char* name) { return Frame().findChild<QAction*>(name); }
  // Names in the window's channel table, row by row.
  QStringList Rows() {
    QAbstractItemModel* m = Frame().Form()->ChannelTable()->model();
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) out << m->data(m->index(r, kColName)).toString();
    return out;
  }

  QTemporaryDir dir_;
  std::string demo_;
  Shared host_;
  DialogScript script_;
  std::unique_ptr<CVortanApp> app_;
};

TEST_F(ReferenceGuiTest, SavedOrderComesBackInTheWindow) {
  Start(demo_);
  QMenu* file = Frame().menuBar()->findChild<QMenu*>("menuFile");
  ASSERT_NE(file, nullptr);
  ASSERT_NE(Action("actionApplyOrder"), nullptr);
  EXPECT_TRUE(file->actions().contains(Action("actionApplyOrder")));
  EXPECT_TRUE(file->actions().contains(Action("actionImportChannels")));
  EXPECT_EQ(Action("actionApplyOrder")->text(), "Apply &Order from Reference List...");
  EXPECT_EQ(Action("actionImportChannels")->text(), "&Import Channels...");
  EXPECT_TRUE(Action("actionApplyOrder")->isEnabled());

  const QStringList saved = Rows();
  const DbImage original = View().Image();
  ASSERT_GE(saved.size(), 3);
  View().OnSortChannels(ChanMenuItem::kSortByName);
  ASSERT_NE(Rows(), saved) << "the demo is not in name order already";

  host_.openAnswers.push_back(demo_);
  bool optionsSeen = false;
  script_.options = [&](CApplyOrderDialog& dlg) {
    optionsSeen = true;
    EXPECT_EQ(dlg.windowTitle(), "Apply Order from Reference List");
    for (const char* box : {"orderCheck", "numbersCheck", "favouritesCheck", "locksCheck", "namesCheck"})
      EXPECT_TRUE(dlg.findChild<QCheckBox*>(box)->isChecked()) << box;
    EXPECT_TRUE(dlg.findChild<QRadioButton*>("keepRadio")->isChecked());
  };
  script_.report = [](CReferenceReportDialog& dlg) {
    EXPECT_EQ(dlg.findChild<QListWidget*>("sectionList0")->count(), 0);
    EXPECT_EQ(dlg.findChild<QListWidget*>("sectionList1")->count(), 0);
    EXPECT_FALSE(dlg.findChild<QPushButton*>("copyButton0")->isEnabled());
  };
  Action("actionApplyOrder")->trigger();
  EXPECT_TRUE(optionsSeen);
  EXPECT_EQ(script_.reports, 1);
  EXPECT_EQ(Rows(), saved);
  EXPECT_TRUE(View().Image() == original);
  EXPECT_TRUE(Frame().windowTitle().contains(" *"));
  Frame().UndoAction()->trigger();
  EXPECT_NE(Rows(), saved) << "one undo step goes back to the sorted list";
}

TEST_F(ReferenceGuiTest, OptionBoxesUnmatchedDeleteAndCopiedReport) {
  // The reference: the demo without its first channel, saved by the window.
  Workspace ref = DemoWorkspace();
  const uint16_t first = ref.image->Order(0);
  static_cast<void>(DbOps(*ref.image).DeleteChan(first));
  const std::string refPath = Path("ref.bin");
  ASSERT_EQ(WriteDownloadImage(ref, refPath), 1);
  Start(demo_);
  const int before = View().Image().ChanCount();
  const std::vector<uint16_t> numbers = [&] {
    std::vector<uint16_t> out;
    for (int c = 0; c < kMaxChans; ++c) out.push_back(View().Image().ChanNumber(c));
    return out;
  }();

  host_.openAnswers.push_back(refPath);
  script_.options = [](CApplyOrderDialog& dlg) {
    // The keys a user presses on a focused box.
    QTest::keyClick(dlg.findChild<QCheckBox*>("numbersCheck"), Qt::Key_Space);
    QTest::keyClick(dlg.findChild<QRadioButton*>("deleteRadio"), Qt::Key_Space);
    EXPECT_FALSE(dlg.findChild<QRadioButton*>("keepRadio")->isChecked());
    EXPECT_FALSE(dlg.findChild<QCheckBox*>("numbersCheck")->isChecked());
  };
  QString copied;
  script_.report = [&](CReferenceReportDialog& dlg) {
    auto* list = dlg.findChild<QListWidget*>("sectionList1");
    ASSERT_EQ(list->count(), 1);
    QTest::mouseClick(dlg.findChild<QPushButton*>("copyButton1"), Qt::LeftButton);
    copied = QApplication::clipboard()->text();
  };
  Action("actionApplyOrder")->trigger();
  EXPECT_EQ(View().Image().ChanCount(), before - 1) << "the unmatched channel is deleted";
  EXPECT_FALSE(View().Image().ChanInUse(first));
  EXPECT_EQ(CheckImage(View().Image()), "");
  EXPECT_TRUE(copied.startsWith(QString::fromStdString(ListFromWorkspace(DemoWorkspace()).channels[0].name)))
      << copied.toStdString();
  for (int c = 0; c < kMaxChans; ++c)
    if (View().Image().ChanInUse(c)) {
      EXPECT_EQ(View().Image().ChanNumber(c), numbers[size_t(c)]) << "numbers off";
    }
}

TEST_F(ReferenceGuiTest, ImportListFiltersChecksAndUndo) {
  WorkspaceBuilder b(1, false);
  const int sat = b.AddSatellite("FAR AWAY", 1000);
  const int tp = b.AddTp(sat, 12000, 27500, 2, 0);
  for (const char* name : {"Alpha TV", "Beta TV", "Alpha Radio"}) {
    ChannelFields f;
    f.name = name;
    f.type = std::string(name).find("Radio") != std::string::npos ? 1 : 0;
    f.sid = uint16_t(900 + name[0] + name[1]);
    f.videoPid = f.type == 0 ? 300 : kNoPid;
    f.audioPid = 301;
    ASSERT_GE(b.AddChannel(tp, f), 0);
  }
  const std::string other = Path("other.bin");
  ASSERT_EQ(WriteDownloadImage(b.Get(), other), 1);
  Start(demo_);
  const DbImage before = View().Image();
  host_.openAnswers.push_back(other);
  script_.import = [](CImportChannelsDialog& dlg) {
    auto* table = dlg.findChild<QTableWidget*>("candidateTable");
    ASSERT_EQ(table->rowCount(), 3);
    QTest::keyClicks(dlg.findChild<QLineEdit*>("nameFilter"), "alpha");
    EXPECT_TRUE(table->isRowHidden(1));
    dlg.findChild<QComboBox*>("typeFilter")->setCurrentIndex(1);  // TV
    EXPECT_TRUE(table->isRowHidden(2));
    QTest::mouseClick(dlg.findChild<QPushButton*>("checkAllButton"), Qt::LeftButton);
    EXPECT_EQ(dlg.findChild<QLabel*>("checkedCount")->text(), "1 of 3 checked");
    dlg.findChild<QComboBox*>("typeFilter")->setCurrentIndex(0);
    dlg.findChild<QLineEdit*>("nameFilter")->clear();
    table->item(1, 0)->setCheckState(Qt::Checked);  // Beta TV by its box
    EXPECT_EQ(dlg.findChild<QLabel*>("checkedCount")->text(), "2 of 3 checked");
  };
  script_.report = [](CReferenceReportDialog& dlg) { EXPECT_EQ(dlg.windowTitle(), "Import Channels"); };
  Action("actionImportChannels")->trigger();
  EXPECT_EQ(script_.reports, 1);
  EXPECT_EQ(View().Image().ChanCount(), before.ChanCount() + 2);
  EXPECT_EQ(CheckImage(View().Image()), "");
  Frame().UndoAction()->trigger();
  EXPECT_TRUE(View().Image() == before);
}

}  // namespace
}  // namespace pelagor::guitest
