// Satellites and TPs edited through the real dialogs of the main window:
// the satellite buttons, the TP list's keys, popup and double-click, typed
// input with QTest, and the result read back after Save and reopening.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include "app/CAddCableTPDialog.h"
#include "app/CAddSatDialog.h"
#include "app/CAddTPDialog.h"
#include "app/CMainFrame.h"
#include "app/CQtModalHost.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "gui/GuiFixture.h"
#include "view/CAddTPDlg.h"
#include "view/CVortanView.h"

namespace pelagor::guitest {
namespace {

// Acts on the dialog that is open; a driver that leaves it open has failed.
using Driver = std::function<void(QDialog& dialog, QStringList& refused)>;

struct Script {
  std::deque<Driver> drivers;
  QStringList refused;  // validation messages the dialogs showed
  QStringList messages;
  int dialogs = 0;
};

// The real modal host for the edit dialogs, with file choosers and the
// leaving question answered without a screen. Each dialog is driven from
// inside its own modal loop.
class DrivingHost : public CQtModalHost {
 public:
  explicit DrivingHost(Script& s) : CQtModalHost(nullptr), s_(s) {}

  DialogAnswer RunDialog(DialogModel model) override {
    ++s_.dialogs;
    if (s_.drivers.empty()) {
      ADD_FAILURE() << "unexpected dialog " << model.index();
      return DialogAnswer::kCancel;
    }
    Driver driver = std::move(s_.drivers.front());
    s_.drivers.pop_front();
    QTimer::singleShot(0, [this, driver] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) {
        ADD_FAILURE() << "no dialog open";
        return;
      }
      SinkInto(*dialog);
      driver(*dialog, s_.refused);
      if (dialog->isVisible()) {
        ADD_FAILURE() << "dialog " << dialog->objectName().toStdString() << " left open";
        dialog->reject();
      }
    });
    return CQtModalHost::RunDialog(model);
  }
  MessageAnswer ShowMessage(const std::string& text, MessageIcon, MessageButtons) override {
    s_.messages << QString::fromStdString(text);
    return MessageAnswer::kYes;
  }
  std::optional<std::string> AskOpenFile(const FileRequest&) override { return std::nullopt; }
  std::optional<std::string> AskSaveFile(const FileRequest&) override { return std::nullopt; }
  SaveChangesAnswer AskSaveChanges() override { return SaveChangesAnswer::kDiscard; }

 private:
  // Refusals are recorded instead of shown in a modal box.
  void SinkInto(QDialog& d) {
    auto sink = [this](QWidget*, const std::string& text) { s_.refused << QString::fromStdString(text); };
    if (auto* x = qobject_cast<CAddSatDialog*>(&d)) x->SetMessageSink(sink);
    if (auto* x = qobject_cast<CAddTPDialog*>(&d)) x->SetMessageSink(sink);
    if (auto* x = qobject_cast<CAddCableTPDialog*>(&d)) x->SetMessageSink(sink);
  }
  Script& s_;
};

template <class W>
W* Find(QDialog& d, const char* name) {
  W* w = d.findChild<W*>(name);
  EXPECT_NE(w, nullptr) << name;
  return w;
}

void Type(QDialog& d, const char* edit, const char* text) {
  QLineEdit* e = Find<QLineEdit>(d, edit);
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Backspace);
  QTest::keyClicks(e, text);
}

// A radio button takes clicks on its indicator and text only, so it is hit
// near its left edge; push buttons in their middle.
void ClickIn(QDialog& d, const char* button) {
  QAbstractButton* b = Find<QAbstractButton>(d, button);
  if (qobject_cast<QRadioButton*>(b) != nullptr) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
  } else {
    QTest::mouseClick(b, Qt::LeftButton);
  }
}

QStringList RowTexts(const QTableView* t, int row) {
  QStringList out;
  for (int c = 0; c < t->model()->columnCount(); ++c) out << t->model()->index(row, c).data().toString();
  return out;
}

class TpSatGuiTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    file_ = dir_.filePath("edit.bin").toStdString();
    ASSERT_TRUE(WriteFixture(file_, 1));
  }
  CMainFrame& Start() {
    app_ = std::make_unique<CVortanApp>();
    app_->SetModalHostFactory([this] { return std::make_unique<DrivingHost>(script_); });
    EXPECT_TRUE(app_->Start({"pelagor", QString::fromStdString(file_)}));
    return *app_->MainFrame();
  }
  CVortanForm& Form() { return *app_->MainFrame()->Form(); }
  QTableView* Tps() { return Form().TpTable(); }
  QComboBox* Satellites() { return Form().Combo(ComboId::kSatellite); }
  void PressOnTpList(Qt::Key key) {
    Form().window()->activateWindow();
    Tps()->setFocus();
    QTest::keyClick(Tps(), key);
  }
  void ChooseSatellite(const QString& text) {
    const int i = Satellites()->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    Satellites()->setCurrentIndex(i);
    emit Satellites()->activated(i);
  }

  QTemporaryDir dir_;
  std::string file_;
  Script script_;
  std::unique_ptr<CVortanApp> app_;
};

TEST_F(TpSatGuiTest, AddSatelliteAndTpThroughTheDialogsSurviveSaveAndReopen) {
  CMainFrame& f = Start();

  script_.drivers.push_back([](QDialog& d, QStringList& refused) {
    EXPECT_EQ(d.windowTitle(), "Add Satellite");
    EXPECT_EQ(Find<QLineEdit>(d, "locationEdit")->text(), "0.0");
    EXPECT_TRUE(Find<QRadioButton>(d, "eastRadio")->isChecked());
    QTest::keyClicks(Find<QLineEdit>(d, "satNameEdit"), "NEW SAT");
    Type(d, "locationEdit", "190.5");
    ClickIn(d, "okButton");
    // Refused: the message, the dialog stays, the focus is in Location.
    EXPECT_EQ(refused, QStringList{"Invalid Location! (0 ~ 180)"});
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.focusWidget(), Find<QLineEdit>(d, "locationEdit"));
    Type(d, "locationEdit", "23.5");
    ClickIn(d, "okButton");
  });
  QTest::mouseClick(Form().Control(ControlId::kSatAdd), Qt::LeftButton);
  ASSERT_EQ(script_.dialogs, 1);
  // By location: HOTBIRD 13.0E, ASTRA 1 19.2E, the new one, THOR 0.8W.
  EXPECT_EQ(Satellites()->currentText(), "3 - [23.5E] NEW SAT ");
  EXPECT_EQ(Tps()->model()->rowCount(), 0);

  script_.drivers.push_back([](QDialog& d, QStringList& refused) {
    EXPECT_EQ(d.windowTitle(), "Add Transponder");
    EXPECT_EQ(Find<QLineEdit>(d, "satelliteText")->text(), "NEW SAT");
    EXPECT_TRUE(Find<QRadioButton>(d, "polarity0")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(d, "modulation0")->isChecked());
    EXPECT_EQ(Find<QComboBox>(d, "fecCombo")->count(), 6);
    Type(d, "frequencyEdit", "1x2z345");  // letters cannot be typed
    EXPECT_EQ(Find<QLineEdit>(d, "frequencyEdit")->text(), "12345");
    Type(d, "symbolRateEdit", "45001");
    ClickIn(d, "okButton");
    EXPECT_EQ(refused.size(), 2);
    EXPECT_EQ(refused.back(), "Please enter an integer between 0 and 45000.");
    EXPECT_EQ(d.focusWidget(), Find<QLineEdit>(d, "symbolRateEdit"));
    Type(d, "symbolRateEdit", "27500");
    ClickIn(d, "polarity2");
    ClickIn(d, "modulation2");
    QComboBox* fec = Find<QComboBox>(d, "fecCombo");
    EXPECT_EQ(fec->count(), 7);
    EXPECT_EQ(fec->currentIndex(), 0);
    fec->setCurrentIndex(3);
    ClickIn(d, "pilot1");
    ClickIn(d, "okButton");
  });
  PressOnTpList(Qt::Key_Insert);
  ASSERT_EQ(script_.dialogs, 2);
  ASSERT_EQ(Tps()->model()->rowCount(), 1);
  const QStringList row{"1", "12345", "27500", "V", "8P-S2", "3/4", "On"};
  EXPECT_EQ(RowTexts(Tps(), 0), row);
  EXPECT_TRUE(Form().View().Modified());

  f.SaveAction()->trigger();
  EXPECT_TRUE(script_.messages.isEmpty()) << script_.messages.join("; ").toStdString();
  EXPECT_FALSE(Form().View().Modified());

  app_.reset();
  Start();
  ChooseSatellite("3 - [23.5E] NEW SAT ");
  ASSERT_EQ(Tps()->model()->rowCount(), 1);  // once: the image TP is not merged a second time
  EXPECT_EQ(RowTexts(Tps(), 0), row);
}

TEST_F(TpSatGuiTest, CableTpFromThePopupEditedByDoubleClickAndDeletedByKey) {
  Start();
  QTest::mouseClick(Form().Control(ControlId::kTuner1DvbC), Qt::LeftButton, {}, QPoint(6, 6));
  ASSERT_EQ(Form().View().ShownDeliveryType(), kDvbC);
  ASSERT_EQ(Tps()->model()->rowCount(), 0);

  script_.drivers.push_back([](QDialog& d, QStringList& refused) {
    EXPECT_EQ(d.windowTitle(), "Add Cable TP");
    EXPECT_TRUE(Find<QRadioButton>(d, "qam0")->isChecked());
    Type(d, "frequencyEdit", "107499");
    Type(d, "symbolRateEdit", "6900");
    ClickIn(d, "okButton");
    EXPECT_EQ(refused, QStringList{"Please enter an integer between 107500 and 858000."});
    EXPECT_EQ(d.focusWidget(), Find<QLineEdit>(d, "frequencyEdit"));
    Type(d, "frequencyEdit", "362000");
    ClickIn(d, "qam2");
    EXPECT_FALSE(Find<QRadioButton>(d, "qam0")->isChecked());
    ClickIn(d, "okButton");
  });
  // The popup's "&Add TP..." chosen by its mnemonic.
  QTimer::singleShot(0, [] {
    QWidget* popup = QApplication::activePopupWidget();
    if (popup == nullptr) {
      ADD_FAILURE() << "no TP popup";
      return;
    }
    QTest::keyClick(popup, Qt::Key_A);
  });
  emit Tps()->customContextMenuRequested(QPoint(10, 10));
  ASSERT_EQ(script_.dialogs, 1);
  ASSERT_EQ(Tps()->model()->rowCount(), 1);
  EXPECT_EQ(RowTexts(Tps(), 0), (QStringList{"1", "362000", "6900", "QAM-64"}));

  script_.drivers.push_back([](QDialog& d, QStringList&) {
    EXPECT_EQ(d.windowTitle(), "Edit Cable TP");
    EXPECT_EQ(Find<QLineEdit>(d, "frequencyEdit")->text(), "362000");
    EXPECT_TRUE(Find<QRadioButton>(d, "qam2")->isChecked());
    Type(d, "frequencyEdit", "474000");
    ClickIn(d, "okButton");
  });
  const QRect cell = Tps()->visualRect(Tps()->model()->index(0, 1));
  std::cerr << "cell " << cell.x() << "," << cell.y() << " " << cell.width() << "x" << cell.height() << " vp "
            << Tps()->viewport()->width() << "x" << Tps()->viewport()->height() << std::endl;
  // A user's double-click: a click, then the second press (Qt's test
  // double-click alone carries no press).
  QTest::mouseClick(Tps()->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(Tps()->viewport(), Qt::LeftButton, {}, cell.center());
  ASSERT_EQ(script_.dialogs, 2);
  EXPECT_EQ(RowTexts(Tps(), 0)[1], "474000");

  PressOnTpList(Qt::Key_Delete);
  EXPECT_EQ(Tps()->model()->rowCount(), 0);
  EXPECT_EQ(script_.dialogs, 2);
}

TEST(SatelliteTpDialogFace, TurboTpKeepsItsModulationAndFec) {
  CAddTPDlg model;
  model.frequency = 11000;
  model.symbolRate = 27500;
  model.polarity = 1;
  model.modulation = 4;  // Turbo 8PSK: shown in the TP list, not offered here
  model.fecIndex = 2;
  model.pilot = 0;
  CAddTPDialog d(model);
  EXPECT_EQ(d.findChild<QComboBox*>("fecCombo")->count(), 0);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(d.findChild<QRadioButton*>(QString("modulation%1").arg(i))->isChecked());
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(model.modulation, 4);
  EXPECT_EQ(model.fecIndex, 2);
  EXPECT_EQ(model.polarity, 1);
  EXPECT_EQ(model.frequency, 11000u);

  // With a list offered but nothing chosen in it, the index becomes 0.
  model.modulation = 1;
  model.fecIndex = 12;  // past the DVB-S2 QPSK list: nothing is selected
  CAddTPDialog d2(model);
  EXPECT_EQ(d2.findChild<QComboBox*>("fecCombo")->currentIndex(), -1);
  d2.accept();
  EXPECT_EQ(model.fecIndex, 0);
}

}  // namespace
}  // namespace pelagor::guitest
