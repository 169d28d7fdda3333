// The satellite, satellite TP and cable TP dialog models: opening texts,
// the location conversion both ways, and what OK takes and refuses.

#include <gtest/gtest.h>

#include "view/CAddCableTP.h"
#include "view/CAddSatDlg.h"
#include "view/CAddTPDlg.h"

namespace pelagor {
namespace {

// ---- Satellite dialog ----

TEST(SatelliteDialog, OpeningShowsDegreesAndDirection) {
  struct Case {
    int position;
    const char* text;
    int west;
  };
  const Case cases[] = {
      {3408, "19.2", 1}, {192, "19.2", 0}, {1800, "180.0", 0}, {1801, "179.9", 1},
      {0, "0.0", 0},     {3599, "0.1", 1}, {5, "0.5", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    CAddSatDlg d;
    d.position = c.position;
    d.name = "Astra";
    d.FillTexts();
    EXPECT_EQ(d.Text(CAddSatDlg::Field::kLocation), c.text);
    EXPECT_EQ(d.westFlag, c.west);
    EXPECT_EQ(d.Text(CAddSatDlg::Field::kName), "Astra");
  }
  EXPECT_EQ(CAddSatDlg::kTitle, "Add Satellite");
  EXPECT_EQ(CAddSatDlg().westFlag, -1);
}

TEST(SatelliteDialog, LocationOnOk) {
  struct Case {
    const char* text;
    int west;
    int position;  // -1: refused
  };
  const Case cases[] = {
      {"19.2", 0, 192}, {"19.2", 1, 3408},  {"180", 1, 1800}, {"180", 0, 1800}, {"179.9", 1, 1801},  {"30.0", 1, 3300},
      {"abc", 0, 0},    {"", 1, 3600},      {"0", 0, 0},      {"0.05", 0, 0},   {"12.5xyz", 0, 125}, {"  7.5", 0, 75},
      {"1e2", 0, 1000}, {"1.5e1", 1, 3450}, {"1e", 0, 10},    {"1e+", 0, 10},   {".5", 0, 5},        {"5.", 0, 50},
      {"+30", 1, 3300}, {"-0", 0, 0},       {"180.1", 0, -1}, {"-0.5", 0, -1},  {"1e400", 0, -1},    {"200", 1, -1},
      {"-abc", 0, 0},   {"13.0E", 0, 130},  {"0.1", 1, 3599},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + std::string(c.west ? " W" : " E"));
    CAddSatDlg d;
    d.position = 777;
    d.FillTexts();
    d.Text(CAddSatDlg::Field::kLocation) = c.text;
    d.OnDirection(c.west);
    d.Text(CAddSatDlg::Field::kName) = "Sat";
    const auto failure = d.Validate();
    if (c.position < 0) {
      ASSERT_TRUE(failure.has_value());
      EXPECT_EQ(failure->field, CAddSatDlg::Field::kLocation);
      EXPECT_EQ(failure->message, "Invalid Location! (0 ~ 180)");
    } else {
      ASSERT_FALSE(failure.has_value()) << failure->message;
      EXPECT_EQ(d.position, c.position);
      EXPECT_EQ(d.name, "Sat");
    }
  }
}

TEST(SatelliteDialog, LocationFieldIsReadUpTo19Characters) {
  CAddSatDlg d;
  d.FillTexts();
  // The digits past the 19th character are not part of the field.
  d.Text(CAddSatDlg::Field::kLocation) = "0000000000000000012345";
  EXPECT_FALSE(d.Validate().has_value());
  EXPECT_EQ(d.position, 120);  // "0000000000000000012"
}

TEST(SatelliteDialog, NameIsCheckedAfterTheLocation) {
  CAddSatDlg d;
  d.FillTexts();
  d.Text(CAddSatDlg::Field::kName) = "Sixteen chars!!!";
  d.Text(CAddSatDlg::Field::kLocation) = "181";
  auto failure = d.Validate();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->field, CAddSatDlg::Field::kLocation);

  d.Text(CAddSatDlg::Field::kLocation) = "19.2";
  failure = d.Validate();
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->field, CAddSatDlg::Field::kName);
  EXPECT_EQ(failure->message, "Please enter no more than 15 characters.");
  EXPECT_EQ(d.name, "");  // not taken

  d.Text(CAddSatDlg::Field::kName) = "T\xC3\xBCrksat 15 chrs";  // 15 characters, 16 bytes of UTF-8
  EXPECT_FALSE(d.Validate());
  const auto bytes = d.NameBytes();
  EXPECT_EQ(bytes[1], 0xFC);  // stored as ISO 8859-1
  EXPECT_EQ(bytes[14], 's');
  EXPECT_EQ(bytes[15], 0);
}

// ---- Satellite TP dialog ----

TEST(SatelliteTpDialog, TitlesAndFecLists) {
  CAddTPDlg d;
  EXPECT_EQ(d.polarity, -1);
  EXPECT_EQ(d.modulation, -1);
  EXPECT_EQ(d.pilot, -1);
  EXPECT_EQ(d.Title(), "Edit Transponder");
  d.addMode = true;
  EXPECT_EQ(d.Title(), "Add Transponder");
  EXPECT_EQ(CAddTPDlg::FecChoices(0).size(), 6u);
  EXPECT_EQ(CAddTPDlg::FecChoices(1).size(), 9u);
  EXPECT_EQ(CAddTPDlg::FecChoices(2).size(), 7u);
  EXPECT_TRUE(CAddTPDlg::FecChoices(3).empty());  // Turbo: shown in the list, not offered here
  EXPECT_TRUE(CAddTPDlg::FecChoices(-1).empty());
  // Modulation 1 with FEC index 4 opens on the DVB-S2 QPSK list at "3/4".
  EXPECT_EQ(CAddTPDlg::FecChoices(1)[4], "3/4");
}

TEST(SatelliteTpDialog, ModulationClickStartsItsListAtTheFirstEntry) {
  CAddTPDlg d;
  d.modulation = 0;
  d.fecIndex = 3;
  d.OnModulation(2);
  EXPECT_EQ(d.modulation, 2);
  EXPECT_EQ(d.fecIndex, 0);
}

TEST(SatelliteTpDialog, OkChecksFrequencyThenSymbolRate) {
  using F = CAddTPDlg::Field;
  struct Case {
    const char* frequency;
    const char* symbolRate;
    std::optional<F> field;
    const char* message;
  };
  const Case cases[] = {
      {"12188", "27500", std::nullopt, ""},
      {"0", "0", std::nullopt, ""},
      {"20000", "45000", std::nullopt, ""},
      {"20001", "45001", F::kFrequency, "Please enter an integer between 0 and 20000."},
      {"12188", "45001", F::kSymbolRate, "Please enter an integer between 0 and 45000."},
      {"-1", "27500", F::kFrequency, "Please enter a positive integer."},
      {"12188", "", F::kSymbolRate, "Please enter a positive integer."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.frequency) + "/" + c.symbolRate);
    CAddTPDlg d;
    d.frequency = 1;
    d.symbolRate = 2;
    d.FillTexts();
    EXPECT_EQ(d.Text(F::kFrequency), "1");
    EXPECT_EQ(d.Text(F::kSymbolRate), "2");
    d.Text(F::kFrequency) = c.frequency;
    d.Text(F::kSymbolRate) = c.symbolRate;
    const auto failure = d.Validate();
    if (!c.field) {
      ASSERT_FALSE(failure) << failure->message;
      EXPECT_EQ(std::to_string(d.frequency), c.frequency);
      EXPECT_EQ(std::to_string(d.symbolRate), c.symbolRate);
    } else {
      ASSERT_TRUE(failure);
      EXPECT_EQ(failure->field, *c.field);
      EXPECT_EQ(failure->message, c.message);
    }
  }
  EXPECT_TRUE(CAddTPDlg::Rule(F::kFrequency).digitsOnly);
  EXPECT_TRUE(CAddTPDlg::Rule(F::kSymbolRate).digitsOnly);
}

TEST(SatelliteTpDialog, NoFecSelectedStoresIndexZero) {
  CAddTPDlg d;
  d.modulation = 1;
  d.FillTexts();
  d.fecIndex = -1;  // the list had no selection
  ASSERT_FALSE(d.Validate());
  EXPECT_EQ(d.fecIndex, 0);
}

// ---- Cable TP dialog ----

TEST(CableTpDialog, TitlesAndQamButtons) {
  CAddCableTP d;
  EXPECT_EQ(d.frequency, 0xFFFFFFFFu);
  EXPECT_EQ(d.symbolRate, 0xFFFFFFFFu);
  EXPECT_EQ(d.qamMode, 3);
  d.addMode = true;
  EXPECT_EQ(d.Title(), "Add Cable TP");
  d.addMode = false;
  EXPECT_EQ(d.Title(), "Edit Cable TP");
  const std::pair<int, int> opening[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3},  {4, 4},
                                         {5, 5}, {6, 3}, {9, 3}, {-1, 3}, {255, 3}};
  for (auto [given, shown] : opening) {
    SCOPED_TRACE(given);
    d.qamMode = given;
    d.frequency = 362000;
    d.symbolRate = 6900;
    d.FillTexts();
    EXPECT_EQ(d.qamMode, shown);
  }
  EXPECT_EQ(CAddCableTP::kQamTexts[2], "QAM64");
  EXPECT_EQ(CAddCableTP::kQamTexts[5], "Auto");
}

TEST(CableTpDialog, PickingQam64GivesMode2) {
  CAddCableTP d;
  d.frequency = 362000;
  d.symbolRate = 6900;
  d.qamMode = 0;
  d.FillTexts();
  EXPECT_EQ(d.Text(CAddCableTP::Field::kFrequency), "362000");
  d.OnQamMode(2);
  ASSERT_FALSE(d.Validate());
  EXPECT_EQ(d.qamMode, 2);
  EXPECT_EQ(d.frequency, 362000u);
  EXPECT_EQ(d.symbolRate, 6900u);
}

TEST(CableTpDialog, OkChecksFrequencyRangeThenSymbolRate) {
  using F = CAddCableTP::Field;
  struct Case {
    const char* frequency;
    const char* symbolRate;
    std::optional<F> field;
    const char* message;
  };
  const Case cases[] = {
      {"107500", "0", std::nullopt, ""},
      {"858000", "45000", std::nullopt, ""},
      {"107499", "6900", F::kFrequency, "Please enter an integer between 107500 and 858000."},
      {"858001", "99999", F::kFrequency, "Please enter an integer between 107500 and 858000."},
      {"362000", "45001", F::kSymbolRate, "Please enter an integer between 0 and 45000."},
      {"3620k", "6900", F::kFrequency, "Please enter a positive integer."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frequency);
    CAddCableTP d;
    d.frequency = 0;
    d.symbolRate = 0;
    d.FillTexts();
    d.Text(F::kFrequency) = c.frequency;
    d.Text(F::kSymbolRate) = c.symbolRate;
    const auto failure = d.Validate();
    if (!c.field) {
      EXPECT_FALSE(failure);
    } else {
      ASSERT_TRUE(failure);
      EXPECT_EQ(failure->field, *c.field);
      EXPECT_EQ(failure->message, c.message);
    }
  }
}

}  // namespace
}  // namespace pelagor
