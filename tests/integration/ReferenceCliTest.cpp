// pelagor-cli apply-order and import as the built binary: the saved order
// of the demo comes back after a sort by name, the JSON report, a CSV
// reference, and the exit codes of unreadable inputs and usage errors.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

#include "CliRun.h"
#include "db/ImageChecker.h"
#include "files/DownloadImage.h"
#include "files/WorkspaceLoad.h"
#include "samples/SampleWorkspaces.h"
#include "samples/WorkspaceBuilder.h"
#include "support/ScratchDir.h"

using namespace pelagor;
namespace fs = std::filesystem;
using nlohmann::json;

namespace {

class ReferenceCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.empty());
    ASSERT_EQ(WriteDownloadImage(DemoWorkspace(), (dir_ / "demo.bin").string()), 1);
  }
  CliOutput Run(const std::string& args) { return RunCli(args, dir_.string()); }
  Workspace Load(const std::string& name) {
    Workspace ws;
    EXPECT_EQ(LoadWorkspaceFile(ws, (dir_ / name).string()), LoadResult::kLoaded) << name;
    return ws;
  }
  std::vector<uint16_t> Order(const std::string& name) {
    const Workspace ws = Load(name);
    std::vector<uint16_t> out;
    for (int i = 0; i < kMaxChans; ++i) out.push_back(ws.image->Order(i));
    return out;
  }
  pelagor::test::ScratchDir scratch_{"pelagor-refcli-"};
  fs::path dir_ = scratch_.Path();
};

TEST_F(ReferenceCliTest, SavedOrderComesBackAfterSortingByName) {
  CliOutput r = Run("sort --by name demo.bin sorted.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_NE(Order("sorted.bin"), Order("demo.bin"));
  r = Run("apply-order --reference demo.bin --json sorted.bin back.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  const json j = json::parse(r.out);
  const Workspace demo = Load("demo.bin");
  EXPECT_EQ(j["matched"]["key"], demo.image->ChanCount());
  EXPECT_EQ(j["matched"]["sid_name"], 0);
  EXPECT_EQ(j["matched"]["name"], 0);
  EXPECT_TRUE(j["reference_unmatched"].empty());
  EXPECT_TRUE(j["workspace_unmatched"].empty());
  EXPECT_EQ(Order("back.bin"), Order("demo.bin"));
  EXPECT_EQ(CheckImage(*Load("back.bin").image), "");
  // The whole file is the saved one again, as a plain read and write gives it
  // (the load brings the demo's new TP into the catalogue).
  ASSERT_EQ(Run("convert --model 1 demo.bin same.bin").status, 0);
  std::vector<uint8_t> a, b;
  ASSERT_TRUE(ReadWholeFile((dir_ / "same.bin").string(), a));
  ASSERT_TRUE(ReadWholeFile((dir_ / "back.bin").string(), b));
  EXPECT_EQ(a, b);
}

TEST_F(ReferenceCliTest, CsvReferenceTakeListAndUnmatchedReport) {
  // The editor's own export of the demo, reversed, minus its first row, with one stranger.
  CliOutput r = Run("channels --csv demo.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> lines;
  for (size_t p = 0; p < r.out.size();) {
    const size_t e = r.out.find("\r\n", p);
    lines.push_back(r.out.substr(p, e - p));
    p = e + 2;
  }
  ASSERT_GT(lines.size(), 3u);
  std::string csv = lines[0] + "\r\n";
  for (size_t i = lines.size() - 1; i >= 2; --i) csv += lines[i] + "\r\n";
  csv += "99,999,Stranger,,,,,,,,4242,,,\r\n";
  std::ofstream(dir_ / "ref.csv", std::ios::binary) << csv;
  r = Run("apply-order --reference ref.csv --take order --unmatched delete --json demo.bin out.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  const json j = json::parse(r.out);
  const int rows = int(lines.size()) - 2;
  EXPECT_EQ(int(j["matched"]["key"]) + int(j["matched"]["sid_name"]) + int(j["matched"]["name"]), rows);
  ASSERT_EQ(j["reference_unmatched"].size(), 1u);
  EXPECT_EQ(j["reference_unmatched"][0]["name"], "Stranger");
  EXPECT_EQ(j["reference_unmatched"][0]["sid"], 4242);
  EXPECT_TRUE(j["reference_unmatched"][0]["frequency"].is_null());
  ASSERT_EQ(j["workspace_unmatched"].size(), 1u);
  EXPECT_EQ(j["deleted"], 1);
  const Workspace out = Load("out.bin");
  EXPECT_EQ(out.image->ChanCount(), rows);
  EXPECT_EQ(CheckImage(*out.image), "");
  // --take order alone: the numbers are those of the workspace.
  const Workspace demo = Load("demo.bin");
  for (int c = 0; c < kMaxChans; ++c)
    if (out.image->ChanInUse(c)) {
      EXPECT_EQ(out.image->ChanNumber(c), demo.image->ChanNumber(c)) << c;
    }
  // The text report names the same channel.
  r = Run("apply-order --reference ref.csv demo.bin out2.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Reference channels not found: 1"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Stranger"), std::string::npos);
}

TEST_F(ReferenceCliTest, ImportAddsWhatIsMissing) {
  WorkspaceBuilder b(3, false);
  const int sat = b.AddSatellite("FAR AWAY", 1000);
  const int tp = b.AddTp(sat, 12000, 27500, 2, 0);
  ChannelFields f;
  f.name = "Import Me";
  f.sid = 777;
  f.videoPid = 300;
  f.audioPid = 301;
  ASSERT_GE(b.AddChannel(tp, f), 0);
  ASSERT_EQ(WriteDownloadImage(b.Get(), (dir_ / "other.bin").string()), 1);
  CliOutput r = Run("import --from other.bin --json demo.bin out.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  json j = json::parse(r.out);
  EXPECT_EQ(j["imported"], 1);
  EXPECT_EQ(j["catalogue_entries_added"], 1);
  EXPECT_TRUE(j["not_imported"].empty());
  const Workspace demo = Load("demo.bin");
  const Workspace out = Load("out.bin");
  EXPECT_EQ(out.image->ChanCount(), demo.image->ChanCount() + 1);
  EXPECT_EQ(out.model, demo.model) << "OUT is written for the model of IN";
  EXPECT_EQ(CheckImage(*out.image), "");
  // Importing the demo into itself finds nothing to add.
  r = Run("import --from demo.bin demo.bin same.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Imported: 0"), std::string::npos) << r.out;
}

TEST_F(ReferenceCliTest, ExitCodes) {
  struct Case {
    const char* args;
    int status;
    const char* err;  // part of standard error
  };
  std::ofstream(dir_ / "junk.bin", std::ios::binary) << "not an image at all";
  const Case cases[] = {
      {"apply-order --reference missing.bin demo.bin out.bin", 1, "File Open Error !!!"},
      {"apply-order --reference junk.bin demo.bin out.bin", 1, "Invalid File Format !"},
      {"apply-order --reference demo.bin missing.bin out.bin", 1, "File Open Error !!!"},
      {"apply-order demo.bin out.bin", 2, "--reference"},
      {"apply-order --reference demo.bin --take order,colours demo.bin out.bin", 2, "colours"},
      {"apply-order --reference demo.bin --unmatched drop demo.bin out.bin", 2, "drop"},
      {"import --from missing.bin demo.bin out.bin", 1, "File Open Error !!!"},
      {"import demo.bin out.bin", 2, "--from"},
  };
  for (const Case& c : cases) {
    const CliOutput r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "out.bin")) << c.args;
  }
}

}  // namespace
