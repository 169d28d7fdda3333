// pelagor-cli as a built binary: each command, its JSON and its exit codes.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "CliRun.h"
#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "support/SectionBytes.h"
#include "support/ScratchDir.h"

using namespace pelagor;
namespace fs = std::filesystem;
using nlohmann::json;

namespace {

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A fresh folder of its own: tests of this and other builds run side by side.
    ASSERT_FALSE(dir_.empty());
    small_ = SmallWorkspace(1);
    ASSERT_EQ(WriteDownloadImage(small_, (dir_ / "small.bin").string()), 1);
  }

  CliOutput Run(const std::string& args) { return RunCli(args, dir_.string()); }
  void Put(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream(dir_ / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  std::vector<std::string> NamesInOrder(const std::string& file) {
    const CliOutput r = Run("channels --json " + file);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> names;
    for (const json& c : json::parse(r.out)) names.push_back(c["name"]);
    return names;
  }

  pelagor::test::ScratchDir scratch_{"pelagor-cli-"};
  fs::path dir_ = scratch_.Path();
  Workspace small_;
};

}  // namespace

TEST_F(CliTest, ShowJson) {
  const CliOutput r = Run("show --json small.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const json j = json::parse(r.out);
  EXPECT_EQ(j["model"], 1);
  ASSERT_EQ(j["sections"].size(), 3u);
  const std::vector<uint8_t> file = BuildDownloadImage(small_);
  const char* tags[] = {"V_3920ST", "V_3920CH", "HDPRVINF"};
  const int kinds[] = {11, 2, 25};
  const size_t lengths[] = {4412 + 8 * small_.catalogue.TotalTps(), 639804, 40012};
  size_t at = 0;
  for (size_t i = 0; i < 3; ++i) {
    const json& s = j["sections"][i];
    EXPECT_EQ(s["tag"], tags[i]);
    EXPECT_EQ(s["kind"], kinds[i]);
    EXPECT_EQ(s["length"], lengths[i]);
    char crc[16];
    std::snprintf(crc, sizeof crc, "0x%02x%02x%02x%02x", file[at + 12], file[at + 13], file[at + 14], file[at + 15]);
    EXPECT_EQ(s["crc32"], crc);
    at += 40 + lengths[i];
  }
  // Image: Astra, Hotbird and the cable pseudo-satellite; 5 TPs; 6 channels.
  EXPECT_EQ(j["satellites"], 3);
  EXPECT_EQ(j["transponders"], 5);
  EXPECT_EQ(j["channels"], 6);
  // Catalogue after the load's merge: three entries and the cable entry 198;
  // Astra's two TPs and Hotbird's merged one.
  EXPECT_EQ(j["catalogue"], json({{"satellites", 4}, {"transponders", 3}}));
  EXPECT_EQ(j["providers"], 3);
  // Keys in the documented order.
  const std::string expectedStart = "{\n  \"model\": 1,\n  \"sections\": [";
  EXPECT_EQ(r.out.substr(0, expectedStart.size()), expectedStart);
}

TEST_F(CliTest, ShowJsonNullsWithoutModelCatalogueOrProviders) {
  Put("satonly.bin", SectionBytes("HDSATINF", SatelliteBodyBytes(2, 1)));
  Put("empty.bin", {});
  CliOutput r = Run("show --json satonly.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  json j = json::parse(r.out);
  EXPECT_TRUE(j["model"].is_null());
  EXPECT_TRUE(j["providers"].is_null());
  EXPECT_EQ(j["catalogue"], json({{"satellites", 2}, {"transponders", 2}}));
  r = Run("show --json empty.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  j = json::parse(r.out);
  EXPECT_TRUE(j["catalogue"].is_null());
  EXPECT_EQ(j["sections"], json::array());
  EXPECT_EQ(j["channels"], 0);
}

TEST_F(CliTest, ShowText) {
  const CliOutput r = Run("show small.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  for (const char* line : {"Model: 1 [V3920HD]\n", "Sections: 3\n", "Satellites: 3\n", "Transponders: 5\n",
                           "Channels: 6\n", "Catalogue: 4 satellites, 3 transponders\n", "Providers: 3\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line;
  EXPECT_NE(r.out.find("  V_3920CH  kind   2  length  639804  crc32 0x"), std::string::npos);
}

TEST_F(CliTest, ChannelsJson) {
  const CliOutput r = Run("channels --json small.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  const json j = json::parse(r.out);
  ASSERT_EQ(j.size(), 6u);
  EXPECT_EQ(j[0], json::parse(R"({"index": 0, "number": 1, "name": "Das Erste HD", "type": "tv",
      "satellite": "Astra 19.2E", "frequency": 11494, "polarisation": "H", "scrambled": false, "locked": false,
      "video_pid": 5101, "audio_pid": 5102, "pcr_pid": 5101, "sid": 10301, "favourites": [1], "provider": "ARD"})"));
  EXPECT_EQ(j[2]["name"], "Sky Cinema");
  EXPECT_EQ(j[2]["scrambled"], true);
  EXPECT_EQ(j[2]["locked"], true);
  EXPECT_EQ(j[2]["favourites"], json::array());
  EXPECT_EQ(j[3]["type"], "radio");
  EXPECT_EQ(j[3]["favourites"], json({2}));
  EXPECT_EQ(j[4]["name"], "Rai 1");  // the selector byte is not shown
  EXPECT_EQ(j[4]["satellite"], "Hotbird 13.0E");
  EXPECT_EQ(j[4]["polarisation"], "V");
  EXPECT_EQ(j[4]["provider"], "Unknown");
  EXPECT_EQ(j[5]["satellite"], "DVB-C");
  EXPECT_EQ(j[5]["frequency"], 306000);  // cable: 100 kHz units shown in kHz
  EXPECT_EQ(j[5]["polarisation"], "AUTO");
  EXPECT_TRUE(j[5]["number"].is_null());
}

TEST_F(CliTest, ChannelsCsvAndText) {
  CliOutput r = Run("channels --csv small.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("\r\n")),
            "No.,Chan No.,Chan Name,Satellite,Freq.,Pol.,CAS,V_PID,A_PID,P_PID,SID,Favorite,Lock,Provider");
  EXPECT_NE(r.out.find("\r\n3,3,Sky Cinema,Astra 19.2E,12188,H,O,255,256,255,4,,O,Sky\r\n"), std::string::npos);
  EXPECT_NE(r.out.find("\r\n4,4,Bayern 3,Astra 19.2E,12188,H,X,8192,611,8192,28400,Music,,ARD\r\n"), std::string::npos);
  EXPECT_NE(r.out.find("\r\n6,65535,Kabel Info,DVB-C,306000,AUTO,X,101,102,101,1,,,Unknown\r\n"), std::string::npos);
  // Without provider data the column reads N/A.
  ASSERT_EQ(WriteDownloadImage(SmallWorkspace(1, false), (dir_ / "noprov.bin").string()), 1);
  r = Run("channels --csv noprov.bin");
  EXPECT_NE(r.out.find(",Sky Cinema,Astra 19.2E,12188,H,O,255,256,255,4,,O,N/A\r\n"), std::string::npos);
  r = Run("channels small.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("No.  Chan No.  Chan Name", 0), 0u);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 7);
}

TEST_F(CliTest, FavouriteNamesWithCommasAreQuoted) {
  Workspace ws = SmallWorkspace(1);
  std::memcpy(ws.image->FavName(0), "News, Weather", 14);
  ASSERT_EQ(WriteDownloadImage(ws, (dir_ / "fav.bin").string()), 1);
  const CliOutput r = Run("channels --csv fav.bin");
  EXPECT_NE(r.out.find(",10301,\"News, Weather\",,ARD\r\n"), std::string::npos) << r.out;
}

TEST_F(CliTest, ChannelNamesInTheirTablesWithCommasAndQuotes) {
  Workspace ws = SmallWorkspace(1);
  for (int c = 0; c < kMaxChans; ++c) {
    if (!ws.image->ChanInUse(c)) continue;
    uint8_t* name = ws.image->ChanName(c);
    const std::string text(reinterpret_cast<const char*>(name));
    if (text == "Sky Cinema") {
      std::memset(name, 0, 25);
      std::memcpy(name, "Sky \"Cinema\", 1", 16);
    } else if (text == "Bayern 3") {
      std::memset(name, 0, 25);
      std::memcpy(name, "\x03\xC5\xD1\xD4", 4);  // ISO 8859-7: ERT in Greek
    }
  }
  ASSERT_EQ(WriteDownloadImage(ws, (dir_ / "names.bin").string()), 1);
  CliOutput r = Run("channels --csv names.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\r\n3,3,\"Sky \"\"Cinema\"\", 1\",Astra"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\r\n4,4,\xCE\x95\xCE\xA1\xCE\xA4,Astra"), std::string::npos) << r.out;
  r = Run("channels --json names.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j[2]["name"], "Sky \"Cinema\", 1");
  EXPECT_EQ(j[3]["name"], "\xCE\x95\xCE\xA1\xCE\xA4");
}

TEST_F(CliTest, ConvertWritesWhatSaveAsWrites) {
  for (int model = 1; model <= 8; ++model) {
    SCOPED_TRACE(model);
    const std::string out = "m" + std::to_string(model) + ".bin";
    CliOutput r = Run("convert --model " + std::to_string(model) + " small.bin " + out);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = Run("show --json " + out);
    ASSERT_EQ(r.status, 0) << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["model"], model);
    EXPECT_EQ(j["sections"][1]["tag"],
              std::string(ModelInfoFor(model).channelTag.empty() ? "M_3920CH" : ModelInfoFor(model).channelTag));
    EXPECT_EQ(json::parse(Run("channels --json " + out).out), json::parse(Run("channels --json small.bin").out));
  }
}

TEST_F(CliTest, SortByEachKey) {
  const CliOutput r = Run("sort --by name small.bin byname.bin");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(NamesInOrder("byname.bin"), (std::vector<std::string>{"Bayern 3", "Das Erste HD", "Kabel Info", "Rai 1",
                                                                  "Sky Cinema", "tagesschau24 HD"}));
  // The sorted file keeps the loaded model.
  EXPECT_EQ(json::parse(Run("show --json byname.bin").out)["model"], 1);
  ASSERT_EQ(Run("sort --by number byname.bin bynumber.bin").status, 0);
  EXPECT_EQ(NamesInOrder("bynumber.bin"), (std::vector<std::string>{"Das Erste HD", "tagesschau24 HD", "Sky Cinema",
                                                                    "Bayern 3", "Rai 1", "Kabel Info"}));
  // "Unknown" first, then provider names, channel names within a provider.
  ASSERT_EQ(Run("sort --by provider small.bin byprovider.bin").status, 0);
  EXPECT_EQ(NamesInOrder("byprovider.bin"), (std::vector<std::string>{"Kabel Info", "Rai 1", "Bayern 3", "Das Erste HD",
                                                                      "tagesschau24 HD", "Sky Cinema"}));
  ASSERT_EQ(Run("sort --by satellite small.bin bysat.bin").status, 0);
  std::vector<std::string> bySat = NamesInOrder("bysat.bin");
  std::sort(bySat.begin(), bySat.end());
  EXPECT_EQ(bySat, (std::vector<std::string>{"Bayern 3", "Das Erste HD", "Kabel Info", "Rai 1", "Sky Cinema",
                                             "tagesschau24 HD"}));
}

TEST_F(CliTest, FailuresCarryTheEditorsMessages) {
  Put("main.rom", SectionBytes("HDMAINSW", {1, 2, 3}));
  struct Case {
    std::string args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {"show missing.bin", 1, "File Open Error !!!\n"},
      {"channels --json missing.bin", 1, "File Open Error !!!\n"},
      {"show .", 1, "File Open Error !!!\n"},
      {"show main.rom", 1, "Invalid File Format !\n"},
      {"convert --model 5 main.rom out.bin", 1, "Invalid File Format !\n"},
      {"sort --by name main.rom out.bin", 1, "Invalid File Format !\n"},
      {"convert --model 5 small.bin nofolder/out.bin", 1, "File Write Error !!!\n"},
      {"sort --by name small.bin nofolder/out.bin", 1, "File Write Error !!!\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CliOutput r = Run(c.args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(fs::exists(dir_ / "out.bin"));
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  for (const char* args :
       {"", "frobnicate small.bin", "show", "show a.bin b.bin", "channels --csv --json small.bin",
        "convert small.bin out.bin", "convert --model 9 small.bin out.bin", "convert --model 0 small.bin out.bin",
        "sort --by colour small.bin out.bin", "sort small.bin out.bin"}) {
    SCOPED_TRACE(args);
    const CliOutput r = Run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err, "");
  }
  EXPECT_FALSE(fs::exists(dir_ / "out.bin"));
  EXPECT_EQ(Run("--help").status, 0);
  EXPECT_EQ(Run("show --help").status, 0);
}

// Only the editor's load commands leave the satellite side file.
TEST_F(CliTest, NoSideFileInTheWorkingFolder) {
  ASSERT_EQ(Run("show small.bin").status, 0);
  ASSERT_EQ(Run("convert --model 2 small.bin out.bin").status, 0);
  EXPECT_FALSE(fs::exists(dir_ / "dump_sat_info.bin"));
}
