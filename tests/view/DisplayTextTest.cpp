#include "view/DisplayText.h"

#include <gtest/gtest.h>

using namespace pelagor;

TEST(DisplayText, ModFecTextsAndUnknownCodes) {
  struct Case {
    uint8_t modFec;
    std::string_view shortName, fec;
  };
  const Case cases[] = {
      {0x03, "QP", "3/4"},     {0x14, "QP-S2", "3/4"},       {0x28, "8P-S2", "Unknown"},
      {0x26, "8P-S2", "9/10"}, {0x43, "Turbo-8", "3/4B"},    {0x00, "QP", "auto"},
      {0x06, "QP", "Unknown"}, {0x51, "Unknown", "Unknown"}, {0xF0, "Unknown", "Unknown"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ModulationShortName(ModulationOf(c.modFec)), c.shortName) << int(c.modFec);
    EXPECT_EQ(FecText(ModulationOf(c.modFec), FecIndexOf(c.modFec)), c.fec) << int(c.modFec);
  }
  EXPECT_EQ(FecTexts(0).size(), 6u);
  EXPECT_EQ(FecTexts(1).size(), 9u);
  EXPECT_EQ(FecTexts(2).size(), 7u);
  EXPECT_TRUE(FecTexts(5).empty());
  EXPECT_EQ(ModulationLongName(1), "DVB-S2-QPSK");
}

TEST(DisplayText, QamAndPolarisation) {
  EXPECT_EQ(QamText(0), "QAM-16");
  EXPECT_EQ(QamText(5), "Auto");
  EXPECT_EQ(QamText(6), "Unknown");
  EXPECT_EQ(TpListPolarisation(0), "auto");
  EXPECT_EQ(ChannelListPolarisation(0), "AUTO");
  EXPECT_EQ(ChannelListPolarisation(3), "?");
  EXPECT_EQ(TpListPolarisation(2), "V");
}
