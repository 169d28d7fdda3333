// The Qt faces of the channel dialogs: titles, labels in on-screen order,
// keys refused by digits-only fields, the message of a refused field with
// the focus put into it and the dialog left open, and Cancel without checks.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/CAddChanDialog.h"
#include "app/CEditChanDialog.h"
#include "app/CFavNameDialog.h"
#include "app/CProviderSelectDialog.h"

namespace pelagor::guitest {
namespace {

// The messages a dialog showed instead of message boxes.
struct Messages {
  std::vector<std::string> texts;
  FieldMessageFn Fn() {
    return [this](QWidget*, const std::string& t) { texts.push_back(t); };
  }
};

QStringList FormLabels(QDialog& dlg) {
  QStringList out;
  auto* form = dlg.findChild<QFormLayout*>();
  if (form == nullptr) return out;
  for (int r = 0; r < form->rowCount(); ++r)
    if (auto* item = form->itemAt(r, QFormLayout::LabelRole))
      if (auto* label = qobject_cast<QLabel*>(item->widget())) out << label->text();
  return out;
}

void Open(QDialog& dlg) {
  dlg.show();
  dlg.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
}

void ClickOk(QDialog& dlg) { QTest::mouseClick(dlg.findChild<QPushButton*>("okButton"), Qt::LeftButton); }
void ClickCancel(QDialog& dlg) { QTest::mouseClick(dlg.findChild<QPushButton*>("cancelButton"), Qt::LeftButton); }

void Retype(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

TEST(ChannelDialogs, AddChannelShowsItsFieldsInScreenOrder) {
  CAddChanDlg model;
  model.satelliteText = "ASTRA 1";
  model.transponderText = "11362 / 22000";
  Messages msgs;
  CAddChanDialog dlg(model, nullptr, msgs.Fn());
  Open(dlg);
  EXPECT_EQ(dlg.windowTitle(), "Add Channel");
  EXPECT_EQ(FormLabels(dlg), (QStringList{"Satellite", "Transponder", "Channel No.", "Channel Name", "Video PID",
                                          "Audio PID", "PCR PID", "SID"}));
  auto* sat = dlg.findChild<QLineEdit*>("satelliteText");
  ASSERT_NE(sat, nullptr);
  EXPECT_EQ(sat->text(), "ASTRA 1");
  EXPECT_TRUE(sat->isReadOnly());
  EXPECT_EQ(dlg.findChild<QLineEdit*>("transponderText")->text(), "11362 / 22000");
  for (auto f : CAddChanDlg::kScreenOrder)
    EXPECT_EQ(dlg.Edit(f)->text(), f == CAddChanDlg::Field::kName ? "" : "0") << int(f);
  // Tab walks the fields in the order they stand.
  EXPECT_EQ(dlg.focusWidget(), dlg.Edit(CAddChanDlg::Field::kChannelNumber));
  // Cancel checks nothing, even with Channel No. still at 0.
  ClickCancel(dlg);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_TRUE(msgs.texts.empty());
}

TEST(ChannelDialogs, DigitsOnlyFieldsRefuseOtherKeys) {
  CAddChanDlg add;
  CAddChanDialog addDlg(add, nullptr, [](QWidget*, const std::string&) {});
  CEditChanDlg edit;
  CEditChanDialog editDlg(edit, nullptr, [](QWidget*, const std::string&) {});
  using A = CAddChanDlg::Field;
  using E = CEditChanDlg::Field;
  struct Case {
    const char* what;
    QLineEdit* edit;
    const char* typed;
    const char* shown;
  } cases[] = {
      {"add audio PID", addDlg.Edit(A::kAudioPid), "1a-2 3", "123"},
      {"add video PID", addDlg.Edit(A::kVideoPid), "+81x92", "8192"},
      {"add PCR PID", addDlg.Edit(A::kPcrPid), "x", ""},
      {"add SID", addDlg.Edit(A::kServiceId), "4.5", "45"},
      {"add channel no. takes any key", addDlg.Edit(A::kChannelNumber), "1a-", "1a-"},
      {"add name takes any key", addDlg.Edit(A::kName), "Das Erste HD", "Das Erste HD"},
      {"edit audio PID", editDlg.Edit(E::kAudioPid), "7b7", "77"},
      {"edit channel no.", editDlg.Edit(E::kChannelNumber), "-12", "12"},
      {"edit PCR PID takes any key", editDlg.Edit(E::kPcrPid), "-1", "-1"},
      {"edit video PID takes any key", editDlg.Edit(E::kVideoPid), "v1", "v1"},
      {"edit SID takes any key", editDlg.Edit(E::kServiceId), "s", "s"},
  };
  for (const Case& c : cases) {
    c.edit->clear();
    QTest::keyClicks(c.edit, c.typed);
    EXPECT_EQ(c.edit->text(), c.shown) << c.what;
  }
}

// Add Channel's OK over a table of typed fields: the first refused field in
// check order gives the message and the focus, and the dialog stays open.
struct AddCase {
  const char* what;
  std::vector<std::pair<CAddChanDlg::Field, const char*>> typed;
  const char* message;  // empty: accepted
  CAddChanDlg::Field focus;
};

TEST(ChannelDialogs, AddChannelOkRefusesTheFirstBadFieldAndStaysOpen) {
  using F = CAddChanDlg::Field;
  const AddCase cases[] = {
      {"channel no. left at 0", {}, "Please enter an integer between 1 and 65535.", F::kChannelNumber},
      {"channel no. not a number", {{F::kChannelNumber, "abc"}}, "Please enter a positive integer.", F::kChannelNumber},
      {"PID 8193 is refused",
       {{F::kChannelNumber, "5"}, {F::kVideoPid, "8193"}},
       "Please enter an integer between 0 and 8192.",
       F::kVideoPid},
      {"audio PID is checked before channel no.",
       {{F::kAudioPid, "9000"}},
       "Please enter an integer between 0 and 8192.",
       F::kAudioPid},
      {"name before PCR and video PID",
       {{F::kPcrPid, "9999"}, {F::kName, "A name of twenty-one!"}},
       "Please enter no more than 20 characters.",
       F::kName},
      {"empty PCR PID", {{F::kChannelNumber, "1"}, {F::kPcrPid, ""}}, "Please enter a positive integer.", F::kPcrPid},
      {"all good with PID 8192",
       {{F::kChannelNumber, "65535"}, {F::kVideoPid, "8192"}, {F::kName, "Radio"}},
       "",
       F::kChannelNumber},
  };
  for (const AddCase& c : cases) {
    SCOPED_TRACE(c.what);
    CAddChanDlg model;
    // The name field takes at most 20 typed characters; a longer one comes from the caller.
    for (const auto& [f, text] : c.typed)
      if (f == F::kName && std::strlen(text) > 20) model.name = text;
    Messages msgs;
    CAddChanDialog dlg(model, nullptr, msgs.Fn());
    Open(dlg);
    for (const auto& [f, text] : c.typed)
      if (f != F::kName || std::strlen(text) <= 20) Retype(dlg.Edit(f), text);
    ClickOk(dlg);
    if (*c.message == 0) {
      EXPECT_TRUE(msgs.texts.empty());
      EXPECT_EQ(dlg.result(), QDialog::Accepted);
      EXPECT_FALSE(dlg.isVisible());
      EXPECT_EQ(model.channelNumber, 65535u);
      EXPECT_EQ(model.videoPid, 8192u);
      EXPECT_EQ(model.name, "Radio");
      continue;
    }
    ASSERT_EQ(msgs.texts.size(), 1u);
    EXPECT_EQ(msgs.texts[0], c.message);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 0);
    EXPECT_EQ(dlg.focusWidget(), dlg.Edit(c.focus));
    EXPECT_EQ(dlg.Edit(c.focus)->selectedText(), dlg.Edit(c.focus)->text());
    // The user corrects the field and OK goes through.
    if (c.focus == F::kName) {
      Retype(dlg.Edit(F::kName), "Short");
    } else {
      Retype(dlg.Edit(c.focus), "7");
    }
    for (auto f : CAddChanDlg::kCheckOrder)
      if (f != F::kName && dlg.Edit(f)->text().toUInt() > 8192 && f != F::kChannelNumber) Retype(dlg.Edit(f), "1");
    if (dlg.Edit(F::kChannelNumber)->text() == "0") Retype(dlg.Edit(F::kChannelNumber), "3");
    ClickOk(dlg);
    EXPECT_EQ(msgs.texts.size(), 1u) << (msgs.texts.size() > 1 ? msgs.texts.back() : "");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
  }
}

TEST(ChannelDialogs, EditChannelShowsTheRecordAndChecksItsFields) {
  CEditChanDlg model;
  model.name = "Alpha One";
  model.channelNumber = 12;
  model.videoPid = 101;
  model.audioPid = 102;
  model.pcrPid = 8192;
  model.serviceId = 28006;
  Messages msgs;
  CEditChanDialog dlg(model, nullptr, msgs.Fn());
  Open(dlg);
  EXPECT_EQ(dlg.windowTitle(), "Edit Channel");
  EXPECT_EQ(FormLabels(dlg), (QStringList{"Channel No.", "Channel Name", "Video PID", "Audio PID", "PCR PID", "SID"}));
  using F = CEditChanDlg::Field;
  EXPECT_EQ(dlg.Edit(F::kName)->text(), "Alpha One");
  EXPECT_EQ(dlg.Edit(F::kChannelNumber)->text(), "12");
  EXPECT_EQ(dlg.Edit(F::kPcrPid)->text(), "8192");
  EXPECT_EQ(dlg.Edit(F::kServiceId)->text(), "28006");
  Retype(dlg.Edit(F::kPcrPid), "8193");
  Retype(dlg.Edit(F::kServiceId), "x");
  ClickOk(dlg);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "Please enter an integer between 0 and 8192.");
  EXPECT_EQ(dlg.focusWidget(), dlg.Edit(F::kPcrPid));
  EXPECT_TRUE(dlg.isVisible());
  Retype(dlg.Edit(F::kPcrPid), "200");
  ClickOk(dlg);
  ASSERT_EQ(msgs.texts.size(), 2u);
  EXPECT_EQ(msgs.texts[1], "Please enter a positive integer.");
  EXPECT_EQ(dlg.focusWidget(), dlg.Edit(F::kServiceId));
  Retype(dlg.Edit(F::kServiceId), "7");
  Retype(dlg.Edit(F::kName), "Beta");
  ClickOk(dlg);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(model.pcrPid, 200u);
  EXPECT_EQ(model.serviceId, 7u);
  EXPECT_EQ(model.name, "Beta");
  EXPECT_EQ(model.channelNumber, 12);

  CEditChanDlg fresh;
  fresh.newChannel = true;
  CEditChanDialog newDlg(fresh, nullptr, msgs.Fn());
  EXPECT_EQ(newDlg.windowTitle(), "New Channel");
}

TEST(ChannelDialogs, FavoriteNameHoldsNineteenCharacters) {
  {
    CFavNameDlg model;
    model.name = "Sports";
    Messages msgs;
    CFavNameDialog dlg(model, nullptr, msgs.Fn());
    Open(dlg);
    EXPECT_EQ(dlg.windowTitle(), "Set Favorite Name");
    auto* prompt = dlg.findChild<QLabel*>("promptLabel");
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->text(), "Enter Favorite List Name");
    EXPECT_EQ(FormLabels(dlg), QStringList{"Favorite Name"});
    EXPECT_EQ(dlg.Edit()->text(), "Sports");
    // Typing stops at 19 characters.
    Retype(dlg.Edit(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(dlg.Edit()->text(), "ABCDEFGHIJKLMNOPQRS");
    ClickOk(dlg);
    EXPECT_TRUE(msgs.texts.empty());
    EXPECT_EQ(model.name, "ABCDEFGHIJKLMNOPQRS");
  }
  // A longer name from the caller is shown whole and refused on OK, with the focus on it.
  CFavNameDlg model;
  model.name = "ABCDEFGHIJKLMNOPQRST";
  Messages msgs;
  CFavNameDialog dlg(model, nullptr, msgs.Fn());
  Open(dlg);
  EXPECT_EQ(dlg.Edit()->text(), "ABCDEFGHIJKLMNOPQRST");
  ClickOk(dlg);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "Please enter no more than 19 characters.");
  EXPECT_EQ(dlg.focusWidget(), dlg.Edit());
  EXPECT_TRUE(dlg.isVisible());
  // It can be shortened but not grown.
  dlg.Edit()->end(false);
  QTest::keyClick(dlg.Edit(), Qt::Key_U);
  EXPECT_EQ(dlg.Edit()->text(), "ABCDEFGHIJKLMNOPQRST");
  QTest::keyClick(dlg.Edit(), Qt::Key_Backspace);
  ClickOk(dlg);
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
  EXPECT_EQ(model.name, "ABCDEFGHIJKLMNOPQRS");
}

void Name(ProviderTable& t, size_t i, const char* name) {
  t.entries[i].name.fill(0);
  std::memcpy(t.entries[i].name.data(), name, std::strlen(name));
}

TEST(ChannelDialogs, ProviderComboListsTheNamesAndTakesATypedOne) {
  struct Case {
    const char* what;
    std::function<void(QComboBox*)> act;
    int chosen;
    const char* storedAt5;  // name of entry 5 afterwards
  } cases[] = {
      {"first line as opened", [](QComboBox*) {}, 3, ""},
      {"a line picked from the list",
       [](QComboBox* c) {
         c->setCurrentIndex(4);
         emit c->activated(4);
       },
       0, ""},
      {"typed name of an entry", [](QComboBox* c) { QTest::keyClicks(c->lineEdit(), "BBC"); }, 2, ""},
      {"typed name differing in case is new", [](QComboBox* c) { QTest::keyClicks(c->lineEdit(), "news"); }, 5, "news"},
      {"typing stops at 15 characters", [](QComboBox* c) { QTest::keyClicks(c->lineEdit(), "ABCDEFGHIJKLMNOPQ"); }, 5,
       "ABCDEFGHIJKLMNO"},
      {"typing then picking drops the typed name",
       [](QComboBox* c) {
         QTest::keyClicks(c->lineEdit(), "Zed");
         c->setCurrentIndex(3);
         emit c->activated(3);
       },
       2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CProviderSelectDlg model;
    Name(model.table, 0, "NEWS");
    Name(model.table, 1, "Unknown");
    Name(model.table, 2, "BBC");
    Name(model.table, 3, "unknown");
    Name(model.table, 4, "arte");
    model.table.count = 5;
    Messages msgs;
    CProviderSelectDialog dlg(model, nullptr, msgs.Fn());
    Open(dlg);
    EXPECT_EQ(dlg.windowTitle(), "Set Provider ID");
    EXPECT_EQ(dlg.findChild<QLabel*>("promptLabel")->text(), "Select or Enter Provider Name");
    EXPECT_EQ(FormLabels(dlg), QStringList{"Provider Name"});
    QComboBox* combo = dlg.Combo();
    ASSERT_EQ(combo->count(), 5);
    EXPECT_TRUE(combo->isEditable());
    EXPECT_TRUE(combo->itemText(0).compare("unknown", Qt::CaseInsensitive) == 0);
    EXPECT_TRUE(combo->itemText(1).compare("unknown", Qt::CaseInsensitive) == 0);
    EXPECT_EQ(combo->itemText(2), "arte");
    EXPECT_EQ(combo->itemText(3), "BBC");
    EXPECT_EQ(combo->itemText(4), "NEWS");
    EXPECT_EQ(combo->currentIndex(), 0);
    combo->lineEdit()->selectAll();  // typing replaces the shown line
    c.act(combo);
    ClickOk(dlg);
    EXPECT_TRUE(msgs.texts.empty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    // The first line is one of the two "Unknown" entries; which one is not fixed.
    if (std::string(c.what) == "first line as opened")
      EXPECT_TRUE(model.chosenIndex == 1 || model.chosenIndex == 3) << model.chosenIndex;
    else
      EXPECT_EQ(model.chosenIndex, c.chosen);
    EXPECT_EQ(model.table.Name(5), c.storedAt5);
    EXPECT_EQ(model.table.count, 5u) << "the head is not changed";
  }
}

TEST(ChannelDialogs, ProviderNewNameWithEveryEntryNamedKeepsTheDialogOpen) {
  CProviderSelectDlg model;
  for (size_t i = 0; i < kProviderEntries; ++i) Name(model.table, i, ("P" + std::to_string(i)).c_str());
  model.table.count = 3;
  Messages msgs;
  CProviderSelectDialog dlg(model, nullptr, msgs.Fn());
  Open(dlg);
  EXPECT_EQ(dlg.Combo()->count(), 3);
  dlg.Combo()->lineEdit()->selectAll();
  QTest::keyClicks(dlg.Combo()->lineEdit(), "Brand New");
  ClickOk(dlg);
  ASSERT_EQ(msgs.texts.size(), 1u);
  EXPECT_EQ(msgs.texts[0], "No more provider can be added !");
  EXPECT_TRUE(dlg.isVisible());
  EXPECT_EQ(dlg.focusWidget(), dlg.Combo());
  ClickCancel(dlg);
  EXPECT_EQ(dlg.result(), QDialog::Rejected);
  EXPECT_EQ(msgs.texts.size(), 1u);
}

}  // namespace
}  // namespace pelagor::guitest
