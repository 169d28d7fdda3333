#include "db/ProviderTable.h"
#include "db/SatCatalogue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace pelagor {
namespace {

void PutBe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (24 - 8 * i));
}
void PutBe16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = uint8_t(v >> 8);
  b[at + 1] = uint8_t(v);
}
void PutLe32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A satellite section body (after its prefix) laid byte by byte: two entries
// in use with 2 and 1 TPs, and entry 5 past the count claiming 3 TPs that the
// body does not hold.
std::vector<uint8_t> HandBody() {
  std::vector<uint8_t> b(kCatalogueBlockSize + 3 * kCatalogueTpSize, 0);
  PutBe32(b, 0, 2);
  std::memcpy(&b[4], "Astra 19.2E", 11);
  std::memcpy(&b[4 + 16], "ABCDEFGHIJKLMNOP", 16);  // full 16 bytes, no NUL
  PutBe32(b, 3204, 2);
  PutBe32(b, 3204 + 4, 1);
  PutBe32(b, 3204 + 4 * 5, 3);
  PutBe16(b, 4004, 192);
  PutBe16(b, 4004 + 2, 3550);
  PutBe16(b, 4004 + 2 * 5, 777);
  const uint8_t tps[3][8] = {{0x2E, 0x02, 0x6B, 0x6C, 1, 0x13, 0, 1},
                             {0x2D, 0xF5, 0x55, 0xF0, 2, 0x24, 1, 0},
                             {0x30, 0x39, 0x00, 0x10, 0, 0x00, 0, 7}};
  std::memcpy(&b[kCatalogueBlockSize], tps, sizeof tps);
  return b;
}

TEST(SatCatalogue, LoadReadsTheBigEndianBody) {
  const std::vector<uint8_t> body = HandBody();
  SatCatalogue cat;
  EXPECT_FALSE(cat.Present());
  ASSERT_TRUE(cat.Load(body.data(), body.size()));
  EXPECT_TRUE(cat.Present());
  EXPECT_EQ(cat.count, 2u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(cat.entries[0].name.data())), "Astra 19.2E");
  EXPECT_EQ(std::memcmp(cat.entries[1].name.data(), "ABCDEFGHIJKLMNOP", 16), 0);
  EXPECT_EQ(cat.entries[0].position, 192);
  EXPECT_EQ(cat.entries[1].position, 3550);
  EXPECT_EQ(cat.entries[5].position, 777);  // positions of all 200 entries are kept
  EXPECT_EQ(cat.entries[0].tpCount, 2u);
  EXPECT_EQ(cat.entries[0].tpCountAtLoad, 2u);
  EXPECT_EQ(cat.entries[1].tpCount, 1u);
  ASSERT_EQ(cat.entries[0].tps.size(), 2u);
  EXPECT_EQ(cat.entries[0].tps[0], (CatalogueTp{11778, 27500, 1, 0x13, 0, 1}));
  EXPECT_EQ(cat.entries[0].tps[1], (CatalogueTp{11765, 22000, 2, 0x24, 1, 0}));
  ASSERT_EQ(cat.entries[1].tps.size(), 1u);
  EXPECT_EQ(cat.entries[1].tps[0], (CatalogueTp{12345, 16, 0, 0, 0, 7}));
  // Past the count the TP number reads as 0, list and at-load count alike.
  EXPECT_EQ(cat.entries[5].tpCount, 0u);
  EXPECT_EQ(cat.entries[5].tpCountAtLoad, 0u);
  EXPECT_TRUE(cat.entries[5].tps.empty());
  EXPECT_EQ(cat.TotalTps(), 3u);
}

TEST(SatCatalogue, LoadRefusesBadBodiesAndKeepsTheOldCatalogue) {
  std::vector<uint8_t> tooMany = HandBody();
  PutBe32(tooMany, 0, 201);
  std::vector<uint8_t> hugeList = HandBody();
  PutBe32(hugeList, 3204 + 4, 0xFFFFFFFFu);
  const std::vector<uint8_t> good = HandBody();
  const struct {
    const char* what;
    const uint8_t* data;
    size_t length;
  } rows[] = {
      {"no body", nullptr, 0},
      {"shorter than the block", good.data(), kCatalogueBlockSize - 1},
      {"block only, lists missing", good.data(), kCatalogueBlockSize},
      {"one byte short of the lists", good.data(), good.size() - 1},
      {"more than 200 entries", tooMany.data(), tooMany.size()},
      {"TP number past the body", hugeList.data(), hugeList.size()},
  };
  SatCatalogue cat;
  std::vector<uint8_t> other = HandBody();
  PutBe32(other, 0, 1);
  ASSERT_TRUE(cat.Load(other.data(), other.size()));
  const SatCatalogue before = cat;
  for (const auto& r : rows) {
    EXPECT_FALSE(cat.Load(r.data, r.length)) << r.what;
    EXPECT_EQ(cat.count, before.count) << r.what;
    EXPECT_TRUE(cat.entries == before.entries) << r.what;
    EXPECT_TRUE(cat.Present()) << r.what;
  }
  SatCatalogue fresh;
  EXPECT_FALSE(fresh.Load(good.data(), kCatalogueBlockSize - 1));
  EXPECT_FALSE(fresh.Present());
}

TEST(SatCatalogue, LoadAcceptsBytesPastTheDeclaredLists) {
  std::vector<uint8_t> body = HandBody();
  body.resize(body.size() + 24, 0xAB);
  SatCatalogue cat;
  ASSERT_TRUE(cat.Load(body.data(), body.size()));
  EXPECT_EQ(cat.TotalTps(), 3u);
}

TEST(SatCatalogue, BuildLaysBigEndianBytes) {
  SatCatalogue cat;
  cat.count = 2;
  std::memcpy(cat.entries[1].name.data(), "Hotbird", 7);
  cat.entries[1].position = 130;
  cat.entries[1].tps = {{10719, 27500, 2, 0x12, 1, 0}};
  cat.entries[1].tpCount = 1;
  cat.entries[198].tps = {{474, 6900, 0, 2, 0, 0}};  // a pseudo-satellite's list is written too
  cat.entries[198].tpCount = 1;
  const std::vector<uint8_t> b = cat.Build();
  ASSERT_EQ(b.size(), kCatalogueBlockSize + 2 * kCatalogueTpSize);
  EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 4), (std::vector<uint8_t>{0, 0, 0, 2}));
  EXPECT_EQ(std::memcmp(&b[4 + 16], "Hotbird\0", 8), 0);
  EXPECT_EQ(std::vector<uint8_t>(&b[3204 + 4], &b[3204 + 8]), (std::vector<uint8_t>{0, 0, 0, 1}));
  EXPECT_EQ(b[4004 + 2], 0);
  EXPECT_EQ(b[4004 + 3], 130);
  EXPECT_EQ(std::vector<uint8_t>(&b[4404], &b[4412]), (std::vector<uint8_t>{0x29, 0xDF, 0x6B, 0x6C, 2, 0x12, 1, 0}));
  EXPECT_EQ(std::vector<uint8_t>(&b[4412], &b[4420]), (std::vector<uint8_t>{0x01, 0xDA, 0x1A, 0xF4, 0, 2, 0, 0}));
}

TEST(SatCatalogue, BuildPadsAListShorterThanItsNumber) {
  SatCatalogue cat;
  cat.count = 1;
  cat.entries[0].tpCount = 2;
  cat.entries[0].tps = {{1, 2, 3, 4, 5, 6}};
  const std::vector<uint8_t> b = cat.Build();
  ASSERT_EQ(b.size(), kCatalogueBlockSize + 16);
  EXPECT_EQ(std::vector<uint8_t>(b.end() - 8, b.end()), std::vector<uint8_t>(8, 0));
}

TEST(SatCatalogue, BuildAndLoadRoundTrip) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    SatCatalogue cat;
    cat.count = rng() % 201;
    for (size_t i = 0; i < cat.count; ++i) {
      CatalogueEntry& e = cat.entries[i];
      for (size_t k = 0; k < 15; ++k) e.name[k] = uint8_t(rng());
      e.position = uint16_t(rng() % 3600);
      e.tps.resize(rng() % 6);
      for (CatalogueTp& tp : e.tps)
        tp = {uint16_t(rng()), uint16_t(rng()), uint8_t(rng() % 3), uint8_t(rng()), uint8_t(rng() % 2), uint8_t(rng())};
      e.tpCount = e.tpCountAtLoad = uint32_t(e.tps.size());
    }
    const std::vector<uint8_t> body = cat.Build();
    SatCatalogue back;
    ASSERT_TRUE(back.Load(body.data(), body.size()));
    EXPECT_EQ(back.count, cat.count);
    EXPECT_TRUE(back.entries == cat.entries) << "round " << round;
    EXPECT_EQ(back.Build(), body);
  }
}

TEST(SatCatalogue, ClearEndsPresence) {
  const std::vector<uint8_t> body = HandBody();
  SatCatalogue cat;
  ASSERT_TRUE(cat.Load(body.data(), body.size()));
  cat.Clear();
  EXPECT_FALSE(cat.Present());
  EXPECT_EQ(cat.count, 0u);
  EXPECT_TRUE(cat.entries[0].tps.empty());
}

// A provider body with the head and the first entries in the given order;
// entry 2, past the count, holds a little-endian number in either case.
std::vector<uint8_t> ProviderBody(bool bigEndian) {
  std::vector<uint8_t> b(kProviderTableSize, 0);
  auto put = [&](size_t at, uint32_t v) { bigEndian ? PutBe32(b, at, v) : PutLe32(b, at, v); };
  put(0, 0x01020304);
  put(4, 0x0A0B0C0D);
  put(8, 2);
  put(12, 17);
  std::memcpy(&b[16], "Unknown", 7);
  put(32, 0x00010203);
  std::memcpy(&b[36], "0123456789ABCDEF", 16);  // no NUL
  PutLe32(b, 52, 0x11223344);
  std::memcpy(&b[56], "past count", 10);
  return b;
}

TEST(ProviderTable, LoadAndBuildInBothByteOrders) {
  for (bool be : {false, true}) {
    const std::vector<uint8_t> body = ProviderBody(be);
    ProviderTable pt;
    ASSERT_TRUE(pt.Load(body.data(), body.size(), be)) << be;
    EXPECT_EQ(pt.head0, 0x01020304u) << be;
    EXPECT_EQ(pt.head4, 0x0A0B0C0Du) << be;
    EXPECT_EQ(pt.count, 2u) << be;
    EXPECT_EQ(pt.entries[0].usage, 17u) << be;
    EXPECT_EQ(pt.entries[1].usage, 0x00010203u) << be;
    EXPECT_EQ(pt.entries[2].usage, 0x11223344u) << be;
    EXPECT_EQ(pt.Name(0), "Unknown");
    EXPECT_EQ(pt.Name(1), "0123456789ABCDEF");
    EXPECT_EQ(pt.Name(2), "past count");
    EXPECT_EQ(pt.Build(be), body) << be;
  }
}

TEST(ProviderTable, LoadBounds) {
  std::vector<uint8_t> body = ProviderBody(false);
  ProviderTable pt;
  ASSERT_TRUE(pt.Load(body.data(), body.size(), false));
  body.push_back(0);
  EXPECT_FALSE(pt.Load(body.data(), body.size(), false));  // 40013 bytes
  EXPECT_EQ(pt.count, 2u);
  EXPECT_EQ(pt.Name(0), "Unknown");
  // A short body fills what it holds; the rest reads as zero.
  ASSERT_TRUE(pt.Load(body.data(), 20, false));
  EXPECT_EQ(pt.count, 2u);
  EXPECT_EQ(pt.Name(0), "Unkn");
  EXPECT_EQ(pt.Name(1), "");
  EXPECT_EQ(pt.Build(false).size(), kProviderTableSize);
  ASSERT_TRUE(pt.Load(nullptr, 0, true));
  EXPECT_EQ(pt.count, 0u);
  EXPECT_FALSE(pt.Load(nullptr, 5, true));
}

TEST(ProviderTable, NameAndUnknownRule) {
  ProviderTable pt;
  const struct {
    const char* name;
    size_t length;
    bool unknown;
  } rows[] = {
      {"Unknown", 7, true},      {"UNKNOWN", 7, true}, {"unKnoWn", 7, true}, {"Unknown\0xyz", 11, true},
      {"Unknown ", 8, false},    {"Unknow", 6, false}, {"", 0, false},       {"Unknownunknown!!", 16, false},
      {"Unknown\x01", 8, false},
  };
  size_t i = 0;
  for (const auto& r : rows) {
    std::memcpy(pt.entries[i].name.data(), r.name, r.length);
    EXPECT_EQ(pt.IsUnknown(i), r.unknown) << r.name;
    ++i;
  }
  EXPECT_EQ(pt.Name(7), "Unknownunknown!!");
  EXPECT_EQ(pt.Name(kProviderEntries), "");
  EXPECT_FALSE(pt.IsUnknown(kProviderEntries));
}

TEST(FormatOrbitalPosition, Table) {
  const struct {
    bool latitude;
    int value;
    int decimals;
    const char* text;
  } rows[] = {
      {false, 192, 1, "19.2E"},   {false, 3550, 1, "5.0W"},    {false, 1800, 1, "180.0E"}, {false, 1801, 1, "179.9W"},
      {false, 0, 1, "0.0E"},      {false, 130, 1, "13.0E"},    {true, 450, 1, "45.0N"},    {true, 1000, 1, "80.0S"},
      {true, 900, 1, "90.0N"},    {false, 1925, 2, "19.25E"},  {false, 1920, 2, "19.2E"},  {false, 1900, 2, "19.0E"},
      {false, 1905, 2, "19.05E"}, {false, 35950, 2, "0.5W"},   {true, 4512, 2, "45.12N"},  {false, 19, 0, "19.0E"},
      {false, 200, 0, "160.0W"},  {false, 19250, 3, "19.25E"},
  };
  for (const auto& r : rows)
    EXPECT_EQ(FormatOrbitalPosition(r.latitude, r.value, r.decimals), r.text)
        << r.value << "/" << r.decimals << (r.latitude ? " latitude" : "");
}

}  // namespace
}  // namespace pelagor
