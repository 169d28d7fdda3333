// The recovery copy's bytes: what is written reads back, and nothing torn,
// damaged or foreign is taken for a copy.

#include <gtest/gtest.h>

#include "files/Crc32.h"
#include "files/RecoveryCopy.h"

namespace pelagor {
namespace {

RecoveryCopy Sample() {
  RecoveryCopy c;
  for (int i = 0; i < 3000; ++i) c.image.push_back(uint8_t(i * 7 + i / 256));
  c.model = 5;
  c.path = "/home/u/Listen/ästra 19.2.bin";
  c.savedAt = 1796900000;
  return c;
}

void ExpectSame(const RecoveryCopy& a, const RecoveryCopy& b) {
  EXPECT_EQ(a.image, b.image);
  EXPECT_EQ(a.model, b.model);
  EXPECT_EQ(a.path, b.path);
  EXPECT_EQ(a.savedAt, b.savedAt);
}

TEST(RecoveryCopy, WrittenCopiesReadBack) {
  RecoveryCopy empty;
  empty.model = 8;
  for (const RecoveryCopy& c : {Sample(), empty}) {
    const std::vector<uint8_t> bytes = SerialiseRecoveryCopy(c);
    RecoveryCopy back;
    ASSERT_TRUE(ParseRecoveryCopy(bytes.data(), bytes.size(), back));
    ExpectSame(back, c);
  }
}

TEST(RecoveryCopy, DamagedOrForeignBytesAreNotACopy) {
  const std::vector<uint8_t> good = SerialiseRecoveryCopy(Sample());
  RecoveryCopy out;
  EXPECT_FALSE(ParseRecoveryCopy(nullptr, 0, out));
  // Every cut short (a torn write), every single flipped byte.
  for (size_t n = 0; n < good.size(); n += n < 64 ? 1 : 97) {
    EXPECT_FALSE(ParseRecoveryCopy(good.data(), n, out)) << "cut at " << n;
  }
  for (size_t i = 0; i < good.size(); i += i < 64 ? 1 : 131) {
    std::vector<uint8_t> bad = good;
    bad[i] ^= 0x10;
    EXPECT_FALSE(ParseRecoveryCopy(bad.data(), bad.size(), out)) << "flipped at " << i;
  }
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  EXPECT_FALSE(ParseRecoveryCopy(longer.data(), longer.size(), out));
  // Lengths beyond the bytes, even with a matching check value, are refused.
  for (uint32_t pathLength : {0x00100000u, 0xFFFFFFF0u}) {
    std::vector<uint8_t> lying = good;
    for (int i = 0; i < 4; ++i) lying[8 + 4 + 8 + size_t(i)] = uint8_t(pathLength >> (8 * i));
    const uint32_t crc = Crc32(lying.data(), lying.size() - 4);
    for (int i = 0; i < 4; ++i) lying[lying.size() - 4 + size_t(i)] = uint8_t(crc >> (8 * i));
    EXPECT_FALSE(ParseRecoveryCopy(lying.data(), lying.size(), out)) << pathLength;
  }
}

TEST(RecoveryCopy, QuestionNamesTheTimeAndTheFile) {
  RecoveryCopy c = Sample();
  EXPECT_EQ(RecoveryQuestion(c, "2026-12-10 14:30:05"),
            "Recover the unsaved changes of 2026-12-10 14:30:05 (ästra 19.2.bin)?");
  c.path = "C:\\Listen\\sat.bin";
  EXPECT_EQ(RecoveryQuestion(c, "x"), "Recover the unsaved changes of x (sat.bin)?");
  c.path.clear();
  EXPECT_EQ(RecoveryQuestion(c, "x"), "Recover the unsaved changes of x (New Channel List)?");
}

}  // namespace
}  // namespace pelagor
