#include "files/DownloadImage.h"

#include <gtest/gtest.h>

#include "support/ScratchDir.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "files/ChannelSection.h"
#include "samples/SampleWorkspaces.h"
#include "support/SectionBytes.h"
#include "samples/WorkspaceBuilder.h"

using namespace pelagor;

namespace {

// Bitwise CRC-32, written out here so the table-driven one is checked
// against something other than itself.
uint32_t SlowCrc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return ~c;
}

// The image the writer is expected to produce for a model: marker bits
// forced, free records given their sentinels.
std::unique_ptr<DbImage> ExpectedImage(const DbImage& img, ModelId model) {
  auto e = std::make_unique<DbImage>(img);
  if (model != 7 && model != 8) {
    const bool clear = model >= 1 && model <= 3;
    for (int s = 0; s < kMaxSats && !clear; ++s) e->SetSatTuner(s, e->SatTuner(s) | 1u);
    for (int t = 0; t < kMaxTps; ++t) e->SetTpTuner(t, clear ? e->TpTuner(t) & ~1u : e->TpTuner(t) | 1u);
    for (int c = 0; c < kMaxChans; ++c)
      e->SetChanTuner(c, uint16_t(clear ? e->ChanTuner(c) & ~1u : e->ChanTuner(c) | 1u));
  }
  NormaliseFreeSlots(*e);
  return e;
}

void ExpectSameCatalogue(const SatCatalogue& a, const SatCatalogue& b) {
  EXPECT_EQ(a.Present(), b.Present());
  EXPECT_EQ(a.count, b.count);
  for (size_t i = 0; i < kCatalogueEntries; ++i) EXPECT_TRUE(a.entries[i] == b.entries[i]) << "entry " << i;
}

void ExpectSameWorkspace(const Workspace& a, const Workspace& b) {
  EXPECT_TRUE(*a.image == *b.image);
  ExpectSameCatalogue(a.catalogue, b.catalogue);
  EXPECT_EQ(a.providers.Build(false), b.providers.Build(false));
  EXPECT_EQ(a.satelliteHeader, b.satelliteHeader);
  EXPECT_EQ(a.channelHeader, b.channelHeader);
  EXPECT_EQ(a.providerHeader, b.providerHeader);
  EXPECT_EQ(a.satellitePrefix, b.satellitePrefix);
  EXPECT_EQ(a.providerPresent, b.providerPresent);
  EXPECT_EQ(a.model, b.model);
}

struct ModelTags {
  ModelId model;
  const char* satTag;
  const char* chanTag;
};

constexpr ModelTags kModelTags[] = {
    {1, "V_3920ST", "V_3920CH"}, {2, "VR3920ST", "VR3920CH"}, {3, "VM3920ST", "VM3920CH"}, {4, "M_3920ST", "M_3920CH"},
    {5, "HDSATINF", "HDCHNINF"}, {6, "KV55SSST", "KV55SSCH"}, {7, "V4406HST", "V4406HCH"}, {8, "M4406HST", "M4406HCH"},
};

// The 40 header bytes expected in front of a body: the carried bytes of the
// saved header, the tag, and CRC and length laid big-endian by hand.
std::vector<uint8_t> HandHeader(const SectionHeader& saved, const char* tag, const uint8_t* body, size_t n) {
  std::vector<uint8_t> h(saved.Data(), saved.Data() + kSectionHeaderSize);
  std::memcpy(h.data(), tag, 8);
  const uint32_t crc = SlowCrc32(body, n);
  const uint8_t crcBytes[4] = {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)};
  const uint8_t lenBytes[4] = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
  std::memcpy(h.data() + 12, crcBytes, 4);
  std::memcpy(h.data() + 36, lenBytes, 4);
  return h;
}

}  // namespace

TEST(DownloadImage, EveryModelRoundTrips) {
  for (const ModelTags& m : kModelTags) {
    SCOPED_TRACE(m.model);
    const Workspace ws = SmallWorkspace(m.model);
    // Lengths in the loaded headers are never copied to the file.
    Workspace skewed = ws;
    skewed.channelHeader.SetLength(12345);
    skewed.providerHeader.SetLength(7);
    const std::vector<uint8_t> file = BuildDownloadImage(skewed);

    const size_t n = ws.catalogue.TotalTps();
    const size_t satLen = 4412 + 8 * n;
    ASSERT_EQ(file.size(), 3 * 40 + satLen + kImageSize + kProviderTableSize);
    const uint8_t* satBody = file.data() + 40;
    const uint8_t* chanBody = satBody + satLen + 40;
    const uint8_t* provBody = chanBody + kImageSize + 40;
    EXPECT_EQ(std::vector<uint8_t>(file.data(), file.data() + 40),
              HandHeader(ws.satelliteHeader, m.satTag, satBody, satLen));
    EXPECT_EQ(std::vector<uint8_t>(chanBody - 40, chanBody),
              HandHeader(ws.channelHeader, m.chanTag, chanBody, kImageSize));
    EXPECT_EQ(std::vector<uint8_t>(provBody - 40, provBody),
              HandHeader(ws.providerHeader, "HDPRVINF", provBody, kProviderTableSize));
    EXPECT_EQ(0, std::memcmp(satBody, ws.satellitePrefix.data(), 8));

    Workspace back;
    ASSERT_TRUE(ParseDownloadImage(back, file.data(), file.size()).accepted);
    EXPECT_EQ(back.model, m.model);
    EXPECT_TRUE(*back.image == *ExpectedImage(*ws.image, m.model));
    ExpectSameCatalogue(back.catalogue, ws.catalogue);
    EXPECT_EQ(back.providers.Build(false), ws.providers.Build(false));
    EXPECT_EQ(back.satellitePrefix, ws.satellitePrefix);
    // A second save of what was read is the same file.
    EXPECT_EQ(BuildDownloadImage(back), file);
  }
}

TEST(DownloadImage, FullWorkspaceRoundTrips) {
  const Workspace ws = FullWorkspace(5);
  const std::vector<uint8_t> file = BuildDownloadImage(ws);
  Workspace back;
  ASSERT_TRUE(ParseDownloadImage(back, file.data(), file.size()).accepted);
  EXPECT_TRUE(*back.image == *ExpectedImage(*ws.image, 5));
  EXPECT_EQ(back.providers.count, kProviderEntries);
  EXPECT_EQ(BuildDownloadImage(back), file);
}

// Models 4-6 are written unpacked with every marker bit set, and must read
// back into the image that was written whatever state the satellite ring is
// in: a wrong guess of the form would move every satellite word two bytes.
TEST(DownloadImage, Models4To6ReadBackAsWrittenWithImperfectRings) {
  struct Damage {
    const char* what;
    void (*apply)(DbImage&, int first);
  };
  const Damage damages[] = {
      {"sound ring", [](DbImage&, int) {}},
      {"one satellite with delivery 0", [](DbImage& i, int f) { i.SetSatLinkField(f, satlink::kDelivery, 0); }},
      {"satellite count one too high", [](DbImage& i, int) { i.SetSatCount(uint8_t(i.SatCount() + 1)); }},
      {"satellite count one too low", [](DbImage& i, int) { i.SetSatCount(uint8_t(i.SatCount() - 1)); }},
      {"first satellite none", [](DbImage& i, int) { i.SetFirstSat(kNoSat); }},
      {"next leads to a free slot", [](DbImage& i, int f) { i.SetSatLinkField(f, satlink::kNext, 150); }},
      // Read two bytes lower, this ring of one closes on itself with
      // delivery 1: only the marker bits tell the form.
      {"ring that looks sound when packed",
       [](DbImage& i, int f) {
         i.SetSatCount(1);
         i.SetSatLinkField(f, satlink::kNext, 8);
       }},
      {"no satellites",
       [](DbImage& i, int) {
         i = DbImage();
         // Bytes that the packed form has no place for, in a free record.
         i.SetU8(DbImage::SatOffset(7) + 26, 0x5A);
         i.SetU8(DbImage::SatOffset(7) + 27, 0xA5);
       }},
  };
  for (ModelId model : {4, 5, 6}) {
    for (const Damage& d : damages) {
      SCOPED_TRACE(std::to_string(model) + ": " + d.what);
      WorkspaceBuilder b(model);
      static_cast<void>(b.AddSatellite("Astra 19.2E", 192));
      const int dvbt = b.AddPseudoSatellite(1, 1, "DVB-T");
      const int t = b.AddTp(dvbt, 5060, 0, 0, 0);  // 506000 kHz
      static_cast<void>(b.AddChannel(t, {"Das Erste", 0, 1, 101, 102, 101}));
      Workspace ws = b.Take();
      ASSERT_EQ(ws.image->FirstSat(), 0);
      d.apply(*ws.image, ws.image->FirstSat());
      const std::vector<uint8_t> file = BuildDownloadImage(ws);
      ASSERT_FALSE(file.empty());

      Workspace back;
      ASSERT_TRUE(ParseDownloadImage(back, file.data(), file.size()).accepted);
      EXPECT_EQ(back.model, model);
      // The image read is the channel body in the file, byte for byte.
      const size_t satLen = 4412 + 8 * ws.catalogue.TotalTps();
      const uint8_t* chanBody = file.data() + 40 + satLen + 40;
      EXPECT_EQ(0, std::memcmp(back.image->Data(), chanBody, kImageSize));
      EXPECT_TRUE(*back.image == *ExpectedImage(*ws.image, model));
      if (ws.image->TpInUse(t)) {
        EXPECT_EQ(back.image->TpFrequency(t), 5060);
      }
      EXPECT_EQ(BuildDownloadImage(back), file);
    }
  }
}

TEST(DownloadImage, ProviderNumbersBigEndianOnlyForModels7And8) {
  for (ModelId model : {1, 5, 7, 8}) {
    SCOPED_TRACE(model);
    const Workspace ws = SmallWorkspace(model);
    const std::vector<uint8_t> file = BuildDownloadImage(ws);
    const uint8_t* prov = file.data() + file.size() - kProviderTableSize;
    const bool be = model >= 7;
    const uint8_t head0[4] = {0x01, 0x02, 0x03, 0x04};
    const uint8_t head0Le[4] = {0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(0, std::memcmp(prov, be ? head0 : head0Le, 4));
    const uint8_t count3Be[4] = {0, 0, 0, 3};
    const uint8_t count3Le[4] = {3, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(prov + 8, be ? count3Be : count3Le, 4));
    // "ARD" (entry 1) is used by three channels.
    const uint8_t* usage = prov + 12 + 20;
    EXPECT_EQ(usage[be ? 3 : 0], 3);
    EXPECT_EQ(0, std::memcmp(usage + 4, "ARD", 4));
  }
}

TEST(DownloadImage, NoProviderSectionWritesTwoSections) {
  const Workspace ws = SmallWorkspace(1, false);
  const std::vector<uint8_t> file = BuildDownloadImage(ws);
  EXPECT_EQ(file.size(), 2 * 40 + 4412 + 8 * ws.catalogue.TotalTps() + kImageSize);
}

TEST(DownloadImage, NothingWrittenWithoutCatalogueOrTag) {
  Workspace none = SmallWorkspace(1);
  none.catalogue.Clear();
  EXPECT_TRUE(BuildDownloadImage(none).empty());
  // No model and no loaded tags: there is no tag to write.
  Workspace untagged = SmallWorkspace(1);
  untagged.model = kNoModel;
  untagged.channelHeader = SectionHeader();
  EXPECT_TRUE(BuildDownloadImage(untagged).empty());
  // Model 4 keeps a loaded tag.
  Workspace m4 = SmallWorkspace(4);
  m4.satelliteHeader.SetTag("HDSATINF");
  const std::vector<uint8_t> file = BuildDownloadImage(m4);
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(0, std::memcmp(file.data(), "HDSATINF", 8));
  // Converting to model 4 a workspace loaded with another model's channel
  // tag writes the model-4 tag, so the file reads back as written.
  Workspace from1 = SmallWorkspace(1);
  from1.model = 4;
  const std::vector<uint8_t> converted = BuildDownloadImage(from1);
  Workspace back;
  ASSERT_TRUE(ParseDownloadImage(back, converted.data(), converted.size()).accepted);
  EXPECT_EQ(back.model, 4);
  EXPECT_TRUE(*back.image == *ExpectedImage(*from1.image, 4));
}

// Every case starts from the same loaded workspace; a rejected buffer must
// leave it exactly as it was, an accepted one is checked by its own test.
TEST(DownloadImage, RejectionTable) {
  const Workspace before = SmallWorkspace(2);
  const Workspace other = SmallWorkspace(6);
  const std::vector<uint8_t> otherFile = BuildDownloadImage(other);
  const std::vector<uint8_t> image(kImageSize, 0);
  const std::vector<uint8_t> sat = SatelliteBodyBytes(3, 2);
  const std::vector<uint8_t> satSection = SectionBytes("V_3920ST", sat);
  const std::vector<uint8_t> goodChan = SectionBytes("V_3920CH", image);
  auto cut = [](std::vector<uint8_t> v, size_t n) {
    v.resize(v.size() - n);
    return v;
  };

  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool accepted;
  };
  const Case cases[] = {
      {"truncated header", std::vector<uint8_t>(otherFile.begin(), otherFile.begin() + 39), false},
      {"truncated header after a good section", Concat({satSection, std::vector<uint8_t>(20, 0)}), false},
      {"length one past the end", SectionBytes("V_3920ST", sat, (long long)sat.size() + 1), false},
      {"length exactly to the end", SectionBytes("V_3920ST", sat), true},
      {"channel body one byte short", SectionBytes("V_3920CH", cut(image, 1)), false},
      {"channel body exact", goodChan, true},
      {"satellite body shorter than its TP lists", SectionBytes("HDSATINF", cut(sat, 1)), false},
      {"satellite body shorter than the block", SectionBytes("HDSATINF", cut(SatelliteBodyBytes(0, 0), 1)), false},
      {"satellite body shorter than the prefix", SectionBytes("HDSATINF", std::vector<uint8_t>(7, 0)), false},
      {"provider body one byte over", SectionBytes("HDPRVINF", std::vector<uint8_t>(kProviderTableSize + 1, 0)), false},
      {"provider body at its limit", SectionBytes("HDPRVINF", std::vector<uint8_t>(kProviderTableSize, 0)), true},
      {"HDMAINSW first", Concat({SectionBytes("HDMAINSW", {1, 2, 3}), otherFile}), false},
      {"unknown tag after a good section", Concat({satSection, goodChan, SectionBytes("XXXXXXXX", {})}), false},
      {"HDBOOTLD after a good section", Concat({goodChan, SectionBytes("HDBOOTLD", {0})}), false},
      {"HDPCHINF", SectionBytes("HDPCHINF", {}), false},
      {"HDTXTKEY", SectionBytes("HDTXTKEY", {}), false},
      {"good file then garbage", Concat({otherFile, {0x56, 0x5F}}), false},
      {"another model's file", otherFile, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Workspace ws = before;
    const ParseResult r = ParseDownloadImage(ws, c.bytes.data(), c.bytes.size());
    EXPECT_EQ(r.accepted, c.accepted);
    if (!c.accepted) {
      ExpectSameWorkspace(ws, before);
      EXPECT_TRUE(r.satelliteDump.empty());
    }
  }
}

TEST(DownloadImage, EmptyFileAcceptedAndChangesNothing) {
  const Workspace before = SmallWorkspace(3);
  Workspace ws = before;
  const uint8_t none = 0;
  EXPECT_TRUE(ParseDownloadImage(ws, &none, 0).accepted);
  ExpectSameWorkspace(ws, before);
}

TEST(DownloadImage, RawSectionBetweenTwoOthersIsSkipped) {
  const Workspace src = SmallWorkspace(1);
  const std::vector<uint8_t> file = BuildDownloadImage(src);
  const size_t satEnd = 40 + 4412 + 8 * src.catalogue.TotalTps();
  std::vector<uint8_t> bytes(file.begin(), file.begin() + long(satEnd));
  const std::vector<uint8_t> raw = SectionBytes("HDRAWBIN", std::vector<uint8_t>(1000, 0xEE));
  bytes.insert(bytes.end(), raw.begin(), raw.end());
  bytes.insert(bytes.end(), file.begin() + long(satEnd), file.end());
  Workspace ws;
  ASSERT_TRUE(ParseDownloadImage(ws, bytes.data(), bytes.size()).accepted);
  EXPECT_EQ(ws.model, 1);
  EXPECT_TRUE(*ws.image == *ExpectedImage(*src.image, 1));
  EXPECT_TRUE(ws.providerPresent);
}

TEST(DownloadImage, LongChannelBodyReadsItsImageAndSkipsTheRest) {
  const Workspace src = SmallWorkspace(5);
  std::vector<uint8_t> body = BuildChannelBody(*src.image, 5);
  body.resize(kImageSize + 100, 0x77);
  const std::vector<uint8_t> bytes =
      Concat({SectionBytes("HDCHNINF", body), SectionBytes("HDSATINF", SatelliteBodyBytes(2, 1))});
  Workspace ws;
  ASSERT_TRUE(ParseDownloadImage(ws, bytes.data(), bytes.size()).accepted);
  EXPECT_TRUE(*ws.image == *ExpectedImage(*src.image, 5));
  EXPECT_EQ(ws.catalogue.count, 2u);
  EXPECT_EQ(ws.channelHeader.Length(), kImageSize + 100);
}

TEST(DownloadImage, SatelliteDumpIsPrefixAndBlockAsInTheFile) {
  const std::vector<uint8_t> sat = SatelliteBodyBytes(3, 2);
  const std::vector<uint8_t> bytes = SectionBytes("VM3920ST", sat);
  Workspace ws;
  const ParseResult r = ParseDownloadImage(ws, bytes.data(), bytes.size());
  ASSERT_TRUE(r.accepted);
  EXPECT_EQ(r.satelliteDump, std::vector<uint8_t>(sat.begin(), sat.begin() + 4412));
  EXPECT_EQ(ws.catalogue.entries[1].tps.size(), 2u);
  EXPECT_EQ(ws.catalogue.entries[1].tps[1].frequency, 10700 + 10 + 1);
}

// Models 4-6 come from receivers in either satellite record form; both must
// read back into the same satellites.
TEST(DownloadImage, FormDetectionForModels4To6) {
  const Workspace src = SmallWorkspace(1);
  const DbImage& img = *src.image;
  const std::vector<uint8_t> packed = BuildChannelBody(img, 1);
  const std::vector<uint8_t> unpacked = BuildChannelBody(img, 5);
  for (const char* tag : {"M_3920CH", "HDCHNINF", "KV55SSCH"}) {
    const int kind = ClassifySectionTag(reinterpret_cast<const uint8_t*>(tag));
    for (bool isPacked : {true, false}) {
      SCOPED_TRACE(std::string(tag) + (isPacked ? " packed" : " unpacked"));
      const std::vector<uint8_t>& body = isPacked ? packed : unpacked;
      EXPECT_EQ(DetectChannelForm(body.data(), kind), isPacked ? ChannelForm::kPacked : ChannelForm::kUnpacked);
      const std::vector<uint8_t> bytes = SectionBytes(tag, body);
      Workspace ws;
      ASSERT_TRUE(ParseDownloadImage(ws, bytes.data(), bytes.size()).accepted);
      for (int s = 0; s < kMaxSats; ++s) {
        if (!img.SatInUse(s)) continue;
        EXPECT_EQ(ws.image->SatLink(s), img.SatLink(s)) << s;
        EXPECT_EQ(ws.image->SatTuner(s) & ~1u, img.SatTuner(s) & ~1u) << s;
      }
    }
  }
  // No satellites: both rings qualify. A body without our marker bits is
  // read in the tag's usual (packed) form, one we wrote in the unpacked form.
  const DbImage empty;
  const std::vector<uint8_t> none(empty.Data(), empty.Data() + kImageSize);
  EXPECT_EQ(DetectChannelForm(none.data(), 5), ChannelForm::kPacked);
  EXPECT_EQ(DetectChannelForm(BuildChannelBody(empty, 5).data(), 5), ChannelForm::kUnpacked);
  // A broken ring qualifies under neither form: packed, unless the marker
  // bits say we wrote the body.
  std::vector<uint8_t> broken = unpacked;
  broken[kSatCountOffset] = uint8_t(broken[kSatCountOffset] + 1);
  EXPECT_EQ(DetectChannelForm(broken.data(), 8), ChannelForm::kUnpacked);
  broken[DbImage::ChanOffset(kMaxChans - 1) + chan::kTunerWord] &= 0xFE;
  EXPECT_EQ(DetectChannelForm(broken.data(), 8), ChannelForm::kPacked);
  // Models 1-3 are always packed, 7 and 8 always unpacked.
  EXPECT_EQ(DetectChannelForm(unpacked.data(), 2), ChannelForm::kPacked);
  EXPECT_EQ(DetectChannelForm(packed.data(), 6), ChannelForm::kUnpacked);
}

TEST(DownloadImage, RingCheckRejectsWrongDeliveryAndLinks) {
  const Workspace src = SmallWorkspace(5);
  // A body the way a receiver may send it: unpacked, but not every record
  // carries the marker bit our writer sets.
  std::vector<uint8_t> good = BuildChannelBody(*src.image, 5);
  good[DbImage::TpOffset(kMaxTps - 1) + tp::kTunerWord] &= 0xFE;
  ASSERT_EQ(DetectChannelForm(good.data(), 8), ChannelForm::kUnpacked);
  const int first = src.image->FirstSat();
  struct Case {
    const char* what;
    uint32_t link;
  };
  const uint32_t link = src.image->SatLink(first);
  const Case cases[] = {
      {"delivery 0", satlink::kDelivery.Set(link, 0)},          {"delivery 4", satlink::kDelivery.Set(link, 4)},
      {"next out of range", satlink::kNext.Set(link, 250)},     {"next a free slot", satlink::kNext.Set(link, 150)},
      {"previous inconsistent", satlink::kPrev.Set(link, 150)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> body = good;
    for (int i = 0; i < 4; ++i)
      body[DbImage::SatOffset(first) + sat::kLinkWord + size_t(i)] = uint8_t(c.link >> (8 * i));
    EXPECT_EQ(DetectChannelForm(body.data(), 8), ChannelForm::kPacked);
  }
}

class WriteFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A fresh folder of its own: tests of this and other builds run side by side.
    dir_ = pelagor::test::MakeScratchDir("pelagor-files-");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  static std::vector<uint8_t> ReadAll(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }
  std::filesystem::path dir_;
};

TEST_F(WriteFileTest, WritesTheBuiltBytesAndLeavesNoTemporaryFile) {
  const Workspace ws = SmallWorkspace(3);
  const auto path = dir_ / "list.bin";
  ASSERT_EQ(WriteDownloadImage(ws, path.string()), 1);
  EXPECT_EQ(ReadAll(path), BuildDownloadImage(ws));
  // Replacing an existing file.
  const Workspace other = SmallWorkspace(7);
  ASSERT_EQ(WriteDownloadImage(other, path.string()), 1);
  EXPECT_EQ(ReadAll(path), BuildDownloadImage(other));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()), 1);
}

TEST_F(WriteFileTest, FailedWriteLeavesTheOldFileIntact) {
  const Workspace ws = SmallWorkspace(1);
  const auto path = dir_ / "list.bin";
  ASSERT_EQ(WriteDownloadImage(ws, path.string()), 1);
  const std::vector<uint8_t> old = ReadAll(path);
  const Workspace other = SmallWorkspace(5);
  // The temporary file cannot be created (its name is taken by a folder).
  std::filesystem::create_directory(dir_ / "list.bin.pelagor-tmp");
  EXPECT_EQ(WriteDownloadImage(other, path.string()), 0);
  EXPECT_EQ(ReadAll(path), old);
  std::filesystem::remove(dir_ / "list.bin.pelagor-tmp");
  // The folder does not exist.
  EXPECT_EQ(WriteDownloadImage(other, (dir_ / "missing" / "list.bin").string()), 0);
  // The target is a folder that cannot be replaced by a file.
  std::filesystem::create_directories(dir_ / "taken" / "inner");
  EXPECT_EQ(WriteDownloadImage(other, (dir_ / "taken").string()), 0);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "taken" / "inner"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "taken.pelagor-tmp"));
  // Nothing to write: no file appears.
  Workspace empty;
  EXPECT_EQ(WriteDownloadImage(empty, (dir_ / "none.bin").string()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "none.bin"));
}
