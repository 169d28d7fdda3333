#include "files/Crc32.h"
#include "files/ModelTable.h"
#include "files/SectionHeader.h"

#include <gtest/gtest.h>

#include <string>

using namespace pelagor;

TEST(Crc32, StandardCheckValueAndContinuation) {
  const std::string s = "123456789";
  const auto* p = reinterpret_cast<const uint8_t*>(s.data());
  EXPECT_EQ(Crc32(p, s.size()), 0xCBF43926u);
  EXPECT_EQ(Crc32(p + 4, 5, Crc32(p, 4)), 0xCBF43926u);
  EXPECT_EQ(Crc32(p, 0), 0u);
}

TEST(SectionTags, ClassifyInTableOrder) {
  struct Case {
    const char* tag;
    int kind;
    ModelId model;
  };
  const Case cases[] = {
      {"HDMAINSW", 0, 0},  {"V_3920CH", 2, 1},  {"VR3920CH", 3, 2},  {"VM3920CH", 4, 3},  {"M_3920CH", 5, 4},
      {"V4406HCH", 6, 7},  {"M4406HCH", 7, 8},  {"HDCHNINF", 8, 5},  {"KV55SSCH", 9, 6},  {"V_3920ST", 11, 0},
      {"KV55SSST", 18, 0}, {"HDRAWBIN", 22, 0}, {"HDPRVINF", 25, 0}, {"HDBOOTLD", 20, 0}, {"v_3920CH", 255, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClassifySectionTag(reinterpret_cast<const uint8_t*>(c.tag)), c.kind) << c.tag;
    EXPECT_EQ(ModelOfChannelKind(c.kind), c.model) << c.tag;
  }
}

TEST(ModelTable, TagsPrefixesAndForms) {
  EXPECT_EQ(ModelInfoFor(1).channelTag, "V_3920CH");
  EXPECT_EQ(ModelInfoFor(3).titlePrefix, "[VM3920HD] ");
  EXPECT_EQ(ModelInfoFor(4).satelliteTag, "");  // model 4 keeps the loaded tags
  EXPECT_EQ(ModelInfoFor(6).satelliteTag, "KV55SSST");
  EXPECT_EQ(ModelInfoFor(8).titlePrefix, "[M4406HD] ");
  EXPECT_TRUE(ModelInfoFor(7).providerBigEndian);
  EXPECT_FALSE(ModelInfoFor(5).providerBigEndian);
  EXPECT_EQ(ModelInfoFor(2).form, ChannelForm::kPacked);
  EXPECT_EQ(ModelInfoFor(5).form, ChannelForm::kUnpacked);
  EXPECT_EQ(ModelInfoFor(kNoModel).form, ChannelForm::kUnpacked);
  EXPECT_EQ(ModelInfoFor(42).titlePrefix, "");
}

TEST(SectionHeader, BigEndianFieldsAndCarriedBytes) {
  uint8_t raw[40];
  for (int i = 0; i < 40; ++i) raw[i] = uint8_t(i + 1);
  SectionHeader h(raw);
  EXPECT_EQ(h.Length(), 0x25262728u);
  EXPECT_EQ(h.Crc(), 0x0D0E0F10u);
  h.SetTag("HDPRVINF");
  h.SetLength(40012);
  EXPECT_EQ(h.Tag(), "HDPRVINF");
  EXPECT_EQ(h.Data()[36], 0x00);
  EXPECT_EQ(h.Data()[38], 0x9C);
  EXPECT_EQ(h.Data()[39], 0x4C);
  EXPECT_EQ(h.Data()[9], 10);  // not interpreted, kept
}
