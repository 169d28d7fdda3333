// The dialog models: what OK takes and refuses, in which order the fields are
// checked, and the provider dialog's list and choice rules.

#include <gtest/gtest.h>

#include <cstring>

#include "view/CAddChanDlg.h"
#include "view/CEditChanDlg.h"
#include "view/CFavNameDlg.h"
#include "view/CProviderSelectDlg.h"
#include "view/DialogValidation.h"

namespace pelagor {
namespace {

// ---- Number readers and messages ----

TEST(DialogFieldReaders, UnsignedAndIntegerTexts) {
  struct Case {
    const char* text;
    std::optional<uint32_t> asUnsigned;
    std::optional<int32_t> asInteger;
  };
  const Case cases[] = {
      {"0", 0u, 0},
      {"8192", 8192u, 8192},
      {" 42 ", 42u, 42},
      {"4294967295", 4294967295u, std::nullopt},
      {"4294967296", std::nullopt, std::nullopt},
      {"2147483647", 2147483647u, 2147483647},
      {"-2147483648", std::nullopt, INT32_MIN},
      {"-2147483649", std::nullopt, std::nullopt},
      {"+7", std::nullopt, 7},
      {"-1", std::nullopt, -1},
      {"", std::nullopt, std::nullopt},
      {"-", std::nullopt, std::nullopt},
      {"12a", std::nullopt, std::nullopt},
      {"1 2", std::nullopt, std::nullopt},
      {"0x10", std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseUnsignedField(c.text), c.asUnsigned);
    EXPECT_EQ(ParseIntegerField(c.text), c.asInteger);
  }
}

TEST(DialogFieldReaders, MessagesAndCharacterCounts) {
  EXPECT_EQ(IntegerRangeText(1, 65535), "Please enter an integer between 1 and 65535.");
  EXPECT_EQ(MaxCharsText(19), "Please enter no more than 19 characters.");
  EXPECT_EQ(CharacterCount("abc"), 3u);
  EXPECT_EQ(CharacterCount("\xC3\xA4\xC3\xB6"), 2u);  // two umlauts
  EXPECT_EQ(FirstCharacters("\xC3\xA4"
                            "bcdef",
                            3),
            "\xC3\xA4"
            "bc");
  EXPECT_EQ(FirstCharacters("ab", 5), "ab");
}

// ---- Add Channel ----

using AddField = CAddChanDlg::Field;

struct AddCase {
  const char* label;
  // audio, name, pcr, video, channel no., sid
  std::array<const char*, 6> texts;
  std::optional<AddField> failing;
  std::string message;
};

void PrintTo(const AddCase& c, std::ostream* os) { *os << c.label; }

class AddChanValidation : public ::testing::TestWithParam<AddCase> {};

TEST_P(AddChanValidation, FirstFailingFieldInCheckOrder) {
  const AddCase& c = GetParam();
  CAddChanDlg dlg;
  dlg.FillTexts();
  const AddField order[] = {AddField::kAudioPid, AddField::kName,          AddField::kPcrPid,
                            AddField::kVideoPid, AddField::kChannelNumber, AddField::kServiceId};
  for (size_t i = 0; i < 6; ++i) dlg.Text(order[i]) = c.texts[i];
  const auto failure = dlg.Validate();
  if (!c.failing) {
    ASSERT_FALSE(failure) << failure->message;
    return;
  }
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->field, *c.failing);
  EXPECT_EQ(failure->message, c.message);
  EXPECT_EQ(dlg.channelNumber, 0u);  // nothing taken over from a refused OK
}

const std::string kPidRange = "Please enter an integer between 0 and 8192.";
const AddCase kAddCases[] = {
    {"ChannelNumberLeftAtZero",
     {"0", "", "0", "0", "0", "0"},
     AddField::kChannelNumber,
     "Please enter an integer between 1 and 65535."},
    {"ChannelNumberTooLarge",
     {"0", "", "0", "0", "65536", "0"},
     AddField::kChannelNumber,
     "Please enter an integer between 1 and 65535."},
    {"AudioPidCheckedFirst", {"8193", "x", "9000", "9000", "0", "z"}, AddField::kAudioPid, kPidRange},
    {"NameBeforePcrAndChannelNo",
     {"1", "123456789012345678901", "9000", "0", "0", "0"},
     AddField::kName,
     "Please enter no more than 20 characters."},
    {"PcrBeforeVideo", {"1", "n", "8193", "8193", "0", "0"}, AddField::kPcrPid, kPidRange},
    {"VideoBeforeChannelNo", {"1", "n", "1", "8193", "0", "0"}, AddField::kVideoPid, kPidRange},
    {"NegativePid", {"-1", "n", "1", "1", "1", "0"}, AddField::kAudioPid, "Please enter a positive integer."},
    {"SidNotANumber", {"1", "n", "1", "1", "1", "abc"}, AddField::kServiceId, "Please enter a positive integer."},
    {"EmptyAudio", {"", "n", "1", "1", "1", "0"}, AddField::kAudioPid, "Please enter a positive integer."},
    {"Pid8192Accepted", {"8192", "n", "8192", "8192", "1", "0"}, std::nullopt, ""},
    {"NameOfTwentyAccepted", {"0", "12345678901234567890", "0", "0", "65535", "4294967295"}, std::nullopt, ""},
};
INSTANTIATE_TEST_SUITE_P(Cases, AddChanValidation, ::testing::ValuesIn(kAddCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(AddChanDialog, InitialValuesTextsAndParsedValues) {
  CAddChanDlg dlg;
  EXPECT_EQ(dlg.channelNumber, 0u);
  EXPECT_EQ(dlg.audioPid, 0u);
  EXPECT_TRUE(dlg.name.empty());
  dlg.satelliteText = "Astra";
  dlg.FillTexts();
  EXPECT_EQ(dlg.Text(AddField::kChannelNumber), "0");
  dlg.Text(AddField::kChannelNumber) = "12";
  dlg.Text(AddField::kName) = "News \xC3\xA4";
  dlg.Text(AddField::kVideoPid) = "8192";
  dlg.Text(AddField::kAudioPid) = "301";
  dlg.Text(AddField::kPcrPid) = "302";
  dlg.Text(AddField::kServiceId) = "70000";
  ASSERT_FALSE(dlg.Validate());
  EXPECT_EQ(dlg.channelNumber, 12u);
  EXPECT_EQ(dlg.name, "News \xC3\xA4");
  EXPECT_EQ(dlg.videoPid, 8192u);
  EXPECT_EQ(dlg.audioPid, 301u);
  EXPECT_EQ(dlg.pcrPid, 302u);
  EXPECT_EQ(dlg.serviceId, 70000u);
  EXPECT_EQ(dlg.satelliteText, "Astra");
  // Labels and typing rules the face uses.
  EXPECT_EQ(CAddChanDlg::Rule(AddField::kChannelNumber).label, "Channel No.");
  EXPECT_FALSE(CAddChanDlg::Rule(AddField::kChannelNumber).digitsOnly);
  EXPECT_TRUE(CAddChanDlg::Rule(AddField::kServiceId).digitsOnly);
  EXPECT_EQ(CAddChanDlg::kScreenOrder.front(), AddField::kChannelNumber);
}

// ---- Edit Channel ----

using EditField = CEditChanDlg::Field;

struct EditCase {
  const char* label;
  std::array<const char*, 6> texts;  // audio, name, pcr, video, channel no., sid
  std::optional<EditField> failing;
  std::string message;
};

void PrintTo(const EditCase& c, std::ostream* os) { *os << c.label; }

class EditChanValidation : public ::testing::TestWithParam<EditCase> {};

TEST_P(EditChanValidation, FirstFailingFieldInCheckOrder) {
  const EditCase& c = GetParam();
  CEditChanDlg dlg;
  const EditField order[] = {EditField::kAudioPid, EditField::kName,          EditField::kPcrPid,
                             EditField::kVideoPid, EditField::kChannelNumber, EditField::kServiceId};
  for (size_t i = 0; i < 6; ++i) dlg.Text(order[i]) = c.texts[i];
  const auto failure = dlg.Validate();
  if (!c.failing) {
    EXPECT_FALSE(failure);
    return;
  }
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->field, *c.failing);
  EXPECT_EQ(failure->message, c.message);
}

const EditCase kEditCases[] = {
    {"ChannelNumberZeroAccepted", {"0", "", "0", "0", "0", "0"}, std::nullopt, ""},
    {"ChannelNumberNegativeAccepted", {"0", "", "0", "0", "-5", "0"}, std::nullopt, ""},
    {"ChannelNumberNotInteger", {"0", "", "0", "0", "5x", "0"}, EditField::kChannelNumber, "Please enter an integer."},
    {"Pid8193", {"0", "", "0", "8193", "1", "0"}, EditField::kVideoPid, kPidRange},
    {"AudioFirst",
     {"x", "123456789012345678901", "8193", "8193", "x", "x"},
     EditField::kAudioPid,
     "Please enter a positive integer."},
    {"NameSecond",
     {"0", "123456789012345678901", "8193", "8193", "x", "x"},
     EditField::kName,
     "Please enter no more than 20 characters."},
    {"SidLast", {"0", "", "0", "0", "1", "-1"}, EditField::kServiceId, "Please enter a positive integer."},
};
INSTANTIATE_TEST_SUITE_P(Cases, EditChanValidation, ::testing::ValuesIn(kEditCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(EditChanDialog, TitleTextsAndValues) {
  CEditChanDlg dlg;
  EXPECT_EQ(dlg.Title(), "Edit Channel");
  dlg.newChannel = true;
  EXPECT_EQ(dlg.Title(), "New Channel");
  dlg.channelNumber = -3;
  dlg.name = "ZDF";
  dlg.serviceId = 28006;
  dlg.FillTexts();
  EXPECT_EQ(dlg.Text(EditField::kChannelNumber), "-3");
  EXPECT_EQ(dlg.Text(EditField::kName), "ZDF");
  EXPECT_EQ(dlg.Text(EditField::kServiceId), "28006");
  dlg.Text(EditField::kChannelNumber) = "+77";
  ASSERT_FALSE(dlg.Validate());
  EXPECT_EQ(dlg.channelNumber, 77);
  EXPECT_EQ(dlg.serviceId, 28006u);
  EXPECT_TRUE(CEditChanDlg::Rule(EditField::kChannelNumber).digitsOnly);
  EXPECT_FALSE(CEditChanDlg::Rule(EditField::kPcrPid).digitsOnly);
}

// ---- Favourite name ----

TEST(FavNameDialog, NineteenCharactersAtMost) {
  CFavNameDlg dlg;
  dlg.name = "Favorite-1";
  dlg.FillTexts();
  EXPECT_EQ(dlg.Text(), "Favorite-1");
  dlg.Text() = "12345678901234567890";
  const auto failure = dlg.Validate();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->message, "Please enter no more than 19 characters.");
  EXPECT_EQ(dlg.name, "Favorite-1");
  dlg.Text() = "1234567890123456789";
  EXPECT_FALSE(dlg.Validate());
  EXPECT_EQ(dlg.name, "1234567890123456789");
}

// ---- Provider ----

void Name(ProviderTable& t, size_t i, const char* name) {
  t.entries[i].name.fill(0);
  std::memcpy(t.entries[i].name.data(), name, std::strlen(name));
}

std::vector<std::string> LineNames(const std::vector<CProviderSelectDlg::Line>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines) out.push_back(l.name);
  return out;
}

CProviderSelectDlg ProviderDialog() {
  CProviderSelectDlg dlg;
  Name(dlg.table, 0, "ZDFvision");
  Name(dlg.table, 1, "NEWS");
  Name(dlg.table, 3, "unknown");
  Name(dlg.table, 4, "arte");
  Name(dlg.table, 5, "NEWS");
  dlg.table.count = 5;
  dlg.typedName = "left over";
  dlg.Open();
  return dlg;
}

TEST(ProviderDialog, SortedListUnknownFirstCaseFolded) {
  CProviderSelectDlg dlg = ProviderDialog();
  EXPECT_TRUE(dlg.typedName.empty());
  const auto lines = LineNames(dlg.Lines());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "unknown");
  EXPECT_EQ(lines[1], "arte");
  EXPECT_EQ(lines[2], "NEWS");
  EXPECT_EQ(lines[3], "NEWS");
  EXPECT_EQ(lines[4], "ZDFvision");
  EXPECT_EQ(dlg.SelectedLine(), 0);
}

TEST(ProviderDialog, LinesAreTheFirstInUseOnlyNamedOnes) {
  CProviderSelectDlg dlg = ProviderDialog();
  dlg.table.count = 2;
  dlg.Open();
  EXPECT_EQ(LineNames(dlg.Lines()), (std::vector<std::string>{"unknown", "arte"}));
  EXPECT_EQ(dlg.SortedNames().size(), 5u);
  // More claimed in use than named: only the named ones.
  dlg.table.count = 1999;
  dlg.Open();
  EXPECT_EQ(dlg.Lines().size(), 5u);
  // Nothing named: no line, nothing selected, OK chooses nothing.
  CProviderSelectDlg empty;
  empty.table.count = 3;
  empty.Open();
  EXPECT_TRUE(empty.Lines().empty());
  EXPECT_EQ(empty.SelectedLine(), -1);
  EXPECT_FALSE(empty.Validate());
  EXPECT_EQ(empty.chosenIndex, -1);
}

TEST(ProviderDialog, OkRules) {
  struct Case {
    const char* label;
    const char* typed;  // nullptr: pick a line
    int line;
    int chosen;
    const char* entry2Name;  // the first unnamed entry afterwards
  };
  const Case cases[] = {
      {"ChoosingNewsGivesFirstNews", nullptr, 2, 1, ""},
      {"ChoosingSecondNewsAlsoFirst", nullptr, 3, 1, ""},
      {"NoLineSelected", nullptr, -1, -1, ""},
      {"TypedExactMatch", "arte", 0, 4, ""},
      {"TypedOtherCaseIsNew", "news", 0, 2, "news"},
      {"TypedCutToFifteen", "ABCDEFGHIJKLMNOPQ", 0, 2, "ABCDEFGHIJKLMNO"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    CProviderSelectDlg dlg = ProviderDialog();
    dlg.ChooseLine(c.line);
    if (c.typed) dlg.TypeText(c.typed);
    ASSERT_FALSE(dlg.Validate());
    EXPECT_EQ(dlg.chosenIndex, c.chosen);
    EXPECT_EQ(dlg.table.Name(2), c.entry2Name);
    EXPECT_EQ(dlg.table.count, 5u);  // the head is not changed
  }
}

TEST(ProviderDialog, PickingALineDropsTypedText) {
  CProviderSelectDlg dlg = ProviderDialog();
  dlg.TypeText("brand new");
  dlg.ChooseLine(1);
  EXPECT_TRUE(dlg.typedName.empty());
  ASSERT_FALSE(dlg.Validate());
  EXPECT_EQ(dlg.chosenIndex, 4);
}

TEST(ProviderDialog, NewNameWithEveryEntryNamedIsRefused) {
  CProviderSelectDlg dlg;
  for (size_t i = 0; i < kProviderEntries; ++i) Name(dlg.table, i, ("P" + std::to_string(i)).c_str());
  dlg.table.count = 2000;
  dlg.Open();
  const ProviderTable before = dlg.table;
  dlg.TypeText("P1999");
  ASSERT_FALSE(dlg.Validate());
  EXPECT_EQ(dlg.chosenIndex, 1999);
  dlg.TypeText("Fresh");
  const auto failure = dlg.Validate();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->message, "No more provider can be added !");
  EXPECT_EQ(dlg.chosenIndex, -1);
  for (size_t i = 0; i < kProviderEntries; ++i) ASSERT_EQ(dlg.table.entries[i].name, before.entries[i].name);
}

TEST(ProviderDialog, TypedLatin1NameStoredAsRecordBytes) {
  CProviderSelectDlg dlg = ProviderDialog();
  dlg.TypeText("M\xC3\xBCnchen");  // München
  ASSERT_FALSE(dlg.Validate());
  EXPECT_EQ(dlg.chosenIndex, 2);
  EXPECT_EQ(dlg.table.entries[2].name[1], 0xFC);
  EXPECT_EQ(dlg.table.Name(2).size(), 7u);
}

}  // namespace
}  // namespace pelagor
