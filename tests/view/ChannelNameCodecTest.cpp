// Channel names in their DVB character tables: each selector's table both
// ways, a character the table cannot hold, and the length limit.

#include <gtest/gtest.h>

#include "view/ChannelNameCodec.h"
#include "view/RecordText.h"

namespace pelagor {
namespace {

struct TableCase {
  int table;
  const char* text;     // UTF-8
  std::string bytes;    // in the table
  const char* refused;  // a character the table has no place for
};

class NameTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(NameTables, EncodeDecodeAndRefuse) {
  const TableCase& c = GetParam();
  std::string out;
  ASSERT_TRUE(EncodeNameText(c.text, c.table, 24, out));
  EXPECT_EQ(out, c.bytes);
  EXPECT_EQ(DecodeNameBytes(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), c.table), c.text);

  out = "kept";
  EXPECT_FALSE(EncodeNameText(std::string("A") + c.refused, c.table, 24, out));
  EXPECT_EQ(out, "kept");

  // Through the name field: the selector byte picks the table.
  uint8_t field[25] = {};
  size_t at = 0;
  if (c.table != kDefaultNameTable) field[at++] = uint8_t(c.table);
  std::copy(c.bytes.begin(), c.bytes.end(), field + at);
  EXPECT_EQ(ChannelNameTable(field), c.table);
  EXPECT_EQ(ChannelNameText(field), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Selectors, NameTables,
    ::testing::Values(TableCase{0, "Caf\xC3\xA9 \xC3\x84rger",
                                "Caf\xC2"
                                "e \xC8"
                                "Arger",
                                "\xE2\x82\xAC"},  // € is not in 6937
                      TableCase{1, "\xD0\xA0\xD0\xBE\xD1\x81\xD1\x81\xD0\xB8\xD1\x8F 1", "\xC0\xDE\xE1\xE1\xD8\xEF 1",
                                "\xC3\xA9"},                                                             // é
                      TableCase{2, "\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A", "\xD9\xD1\xC8\xEA", "\xD0\x96"},  // Ж
                      TableCase{3, "\xCE\x95\xCE\xA1\xCE\xA4 \xCE\xA3\xCF\x80\xCE\xBF\xCF\x81",
                                "\xC5\xD1\xD4 \xD3\xF0\xEF\xF1", "\xD0\x96"},
                      TableCase{4, "\xD7\xA2\xD7\xA8\xD7\x95\xD7\xA5 2", "\xF2\xF8\xE5\xF5 2", "\xC3\xA9"},
                      TableCase{5,
                                "T\xC3\xBCrk\xC3\xA7"
                                "e \xC4\x9F\xC5\x9F",
                                "T\xFCrk\xE7"
                                "e \xF0\xFE",
                                "\xD0\x96"}));

TEST(NameCodec, LengthLimitNeverCutsACharacter) {
  std::string out;
  // Each é is two bytes in the default table.
  ASSERT_TRUE(EncodeNameText("a\xC3\xA9\xC3\xA9", kDefaultNameTable, 4, out));
  EXPECT_EQ(out,
            "a\xC2"
            "e");
  // A refused character past the kept length still refuses the text.
  EXPECT_FALSE(EncodeNameText("abcd\xE2\x82\xAC", kDefaultNameTable, 2, out));
  // Broken UTF-8 is refused.
  EXPECT_FALSE(EncodeNameText("a\xC3", kDefaultNameTable, 24, out));
  EXPECT_FALSE(
      EncodeNameText("a\x80"
                     "b",
                     kDefaultNameTable, 24, out));
}

TEST(NameCodec, DecodingDropsControlsUnassignedBytesAndALoneAccent) {
  const struct {
    int table;
    std::string bytes;
    const char* text;
  } cases[] = {
      {0,
       std::string("A\x86"
                   "B\x0A"
                   "C"),
       "ABC"},                         // DVB control codes
      {0, std::string("e\xC2"), "e"},  // an accent with nothing after it
      {4,
       std::string("\xA1"
                   "\xF2"),
       "\xD7\xA2"},                         // 0xA1 is unassigned in 8859-8
      {0, std::string("AB\0CD", 5), "AB"},  // ends at a zero byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeNameBytes(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), c.table), c.text);
  }
}

}  // namespace
}  // namespace pelagor
