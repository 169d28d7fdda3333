#include "files/WorkspaceLoad.h"

#include <gtest/gtest.h>

#include "support/ScratchDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "support/SectionBytes.h"

using namespace pelagor;
namespace fs = std::filesystem;

namespace {

class WorkspaceLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A fresh folder of its own: tests of this and other builds run side by side.
    dir_ = pelagor::test::MakeScratchDir("pelagor-load-");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir_.empty()) fs::remove_all(dir_, ec);
  }
  std::string Put(const std::string& name, const std::vector<uint8_t>& bytes) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return p.string();
  }
  static std::vector<uint8_t> ReadAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }
  fs::path dir_;
};

const CatalogueEntry& Entry(const Workspace& ws, size_t k) { return ws.catalogue.entries[k]; }

}  // namespace

TEST_F(WorkspaceLoadTest, LoadMergesNewSatellitesAndTpsOnce) {
  const Workspace src = SmallWorkspace(1);
  // Hotbird (entry 1) has one TP marked new; the cable pseudo-satellite
  // (entry 198) is new altogether.
  ASSERT_TRUE(Entry(src, 1).tps.empty());
  const std::string path = Put("small.bin", BuildDownloadImage(src));
  Workspace ws;
  ASSERT_EQ(LoadWorkspaceFile(ws, path), LoadResult::kLoaded);
  EXPECT_TRUE(ws.loaded);
  ASSERT_EQ(Entry(ws, 1).tps.size(), 1u);
  EXPECT_EQ(Entry(ws, 1).tps[0].frequency, 10992);
  EXPECT_EQ(Entry(ws, 1).tps[0].pilot, 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(Entry(ws, 198).name.data()), "DVB-C");
  for (int s = 0; s < kMaxSats; ++s) {
    if (!ws.image->SatInUse(s)) continue;
    EXPECT_EQ(ws.image->SatLinkField(s, satlink::kNew), 0u) << s;
  }
  for (int t = 0; t < kMaxTps; ++t) {
    if (!ws.image->TpInUse(t)) continue;
    EXPECT_EQ(ws.image->TpWordField(t, tpw::kNew), 0u) << t;
  }

  // Saved and loaded again, nothing is merged twice.
  const std::string again = Put("again.bin", BuildDownloadImage(ws));
  Workspace ws2;
  ASSERT_EQ(LoadWorkspaceFile(ws2, again), LoadResult::kLoaded);
  EXPECT_EQ(Entry(ws2, 1).tps.size(), 1u);
  EXPECT_EQ(ws2.catalogue.count, ws.catalogue.count);
}

TEST_F(WorkspaceLoadTest, FailuresAndTheirMessages) {
  struct Case {
    const char* what;
    std::string path;
    LoadResult result;
    const char* text;
  };
  const Case cases[] = {
      {"missing file", (dir_ / "nothere.bin").string(), LoadResult::kOpenError, "File Open Error !!!"},
      {"a folder", dir_.string(), LoadResult::kOpenError, "File Open Error !!!"},
      {"main software", Put("main.rom", SectionBytes("HDMAINSW", {1, 2, 3})), LoadResult::kInvalidFormat,
       "Invalid File Format !"},
      {"empty file", Put("empty.bin", {}), LoadResult::kLoaded, ""},
  };
  const Workspace before = SmallWorkspace(2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Workspace ws = before;
    ws.loaded = false;
    EXPECT_EQ(LoadWorkspaceFile(ws, c.path, {(dir_ / "dump.bin").string()}), c.result);
    EXPECT_EQ(LoadResultText(c.result), c.text);
    EXPECT_EQ(ws.loaded, c.result == LoadResult::kLoaded);
    EXPECT_TRUE(*ws.image == *before.image);
    EXPECT_EQ(ws.model, before.model);
    EXPECT_FALSE(fs::exists(dir_ / "dump.bin"));
  }
}

TEST_F(WorkspaceLoadTest, SatelliteDumpOnlyWhenAskedFor) {
  const std::vector<uint8_t> sat = SatelliteBodyBytes(4, 1);
  const std::vector<uint8_t> file = SectionBytes("V_3920ST", sat);
  const fs::path dump = dir_ / "dump_sat_info.bin";
  Workspace ws;
  ASSERT_EQ(ApplyDownloadImage(ws, file.data(), file.size()), LoadResult::kLoaded);
  EXPECT_FALSE(fs::exists(dump));
  ASSERT_EQ(ApplyDownloadImage(ws, file.data(), file.size(), {dump.string()}), LoadResult::kLoaded);
  EXPECT_EQ(ReadAll(dump), std::vector<uint8_t>(sat.begin(), sat.begin() + 4412));
  // A dump that cannot be written does not fail the load.
  EXPECT_EQ(ApplyDownloadImage(ws, file.data(), file.size(), {(dir_ / "no" / "dump.bin").string()}),
            LoadResult::kLoaded);
  EXPECT_EQ(ws.catalogue.count, 4u);
}
