// The receiver simulator as a built binary, driven through the project's own port
// and protocol code over real pseudo-terminals, directly and through the line simulator.
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"
#include "link/ReceiverProtocol.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace pelagor;
using pelagor::test::ChildProcess;
using pelagor::test::StartStbSim;

namespace {

namespace fs = std::filesystem;

LinkTiming Timing(uint32_t infoWaitMs) {
  LinkTiming t;
  t.infoReplyWaitMs = infoWaitMs;
  t.waitDataPollMs = 5;
  return t;
}

struct InfoCase {
  std::vector<std::string> options;
  uint32_t waitMs;
  bool answered;
  const char* model;
};

class StbSimInfo : public ::testing::TestWithParam<InfoCase> {};

TEST_P(StbSimInfo, AnswersTheQueryAsConfigured) {
  const InfoCase& c = GetParam();
  std::string path;
  auto sim = StartStbSim(c.options, path);
  ASSERT_FALSE(path.empty());
  CSerialPort port{Timing(c.waitMs)};
  std::string msg;
  ASSERT_TRUE(port.OpenPort(path, &msg)) << msg;
  ReceiverInfoBlock block{};
  ASSERT_EQ(QueryReceiverInfo(port, block), c.answered);
  ASSERT_TRUE(sim->WaitFor("QUERY")) << "query not seen";
  if (!c.answered) return;
  ReceiverInfo info = ParseReceiverInfo(block);
  EXPECT_EQ(info.model, c.model);
  EXPECT_EQ(info.bootVersion, "B 2.01");
  EXPECT_EQ(info.mainVersion, "M 7.3");
}

const std::string kLongModel(40, 'L');  // longer than its field

INSTANTIATE_TEST_SUITE_P(Replies, StbSimInfo,
                         ::testing::Values(InfoCase{{"--model", "TS-9900 HD", "--boot", "B 2.01", "--main", "M 7.3"},
                                                    20000,
                                                    true,
                                                    "TS-9900 HD"},
                                           InfoCase{{"--model", kLongModel, "--boot", "B 2.01", "--main", "M 7.3"},
                                                    20000,
                                                    true,
                                                    "LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL"},
                                           // Short: 103 bytes arrive, the wait for the last one runs out.
                                           InfoCase{{"--reply-bytes", "103"}, 300, false, ""},
                                           InfoCase{{"--silent"}, 100, false, ""},
                                           // Late: the answer comes long after the (shortened) bound.
                                           InfoCase{{"--late-ms", "5000"}, 100, false, ""}));

TEST(StbSim, StrayBytesBeforeAFrameAreSkippedAndEachQueryAnswered) {
  std::string path;
  auto sim = StartStbSim({"--model", "X1"}, path);
  ASSERT_FALSE(path.empty());
  CSerialPort port{Timing(20000)};
  ASSERT_TRUE(port.OpenPort(path));
  const unsigned char noise[] = {0x00, 0x56, 0x56, 0x13, 0x58, 0xFF};
  static_cast<void>(port.WriteCommBlock(noise, sizeof noise));  // the port is open
  for (int i = 0; i < 2; ++i) {
    ReceiverInfoBlock block{};
    ASSERT_TRUE(QueryReceiverInfo(port, block)) << i;
    EXPECT_EQ(ParseReceiverInfo(block).model, "X1");
  }
}

// Announcement frames hand the line to the configured program, byte-exact from the
// first byte after the frame.
class StbSimPeer : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir.empty()); }
  pelagor::test::ScratchDir scratch{"pelagor-stbsim-"};
  fs::path dir = scratch.Path();
};

TEST_F(StbSimPeer, DownloadAndUploadRunTheirPrograms) {
  const fs::path got = dir / "got.bin";
  std::string path;
  auto sim =
      StartStbSim({"--on-download", "head -c 5 > '" + got.string() + "'", "--on-upload", "printf 'channels'"}, path);
  ASSERT_FALSE(path.empty());
  CSerialPort port{Timing(3000)};
  ASSERT_TRUE(port.OpenPort(path));

  SendUartCommand(port, UART_CMD_START_ZMODEM_DOWNLOAD);
  static_cast<void>(port.WriteCommBlock("hello", 0));  // the port is open
  EXPECT_EQ(sim->WaitFor("DOWNLOAD "), "0");
  std::ifstream in(got, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "hello");

  SendUartCommand(port, UART_CMD_START_ZMODEM_UPLOAD);
  char buf[8] = {};
  EXPECT_EQ(port.ReadCommBlockTimed(buf, 8, 20000), 8u);
  EXPECT_EQ(std::string(buf, 8), "channels");
  EXPECT_EQ(sim->WaitFor("UPLOAD "), "0");
}

TEST_F(StbSimPeer, WithoutAProgramTheFrameIsOnlyReportedAndOthersNamed) {
  // Programs replace the built-in peer; a frame left without one is only reported.
  std::string path;
  auto sim = StartStbSim({"--on-download", "true"}, path);
  ASSERT_FALSE(path.empty());
  CSerialPort port{Timing(3000)};
  ASSERT_TRUE(port.OpenPort(path));
  SendUartCommand(port, UART_CMD_START_ZMODEM_UPLOAD);
  EXPECT_EQ(sim->WaitFor("UPLOAD "), "-1");
  SendUartCommand(port, 9);
  EXPECT_EQ(sim->WaitFor("FRAME "), "9");
}

// Real ZMODEM on both ends (lrzsz): the PC's file reaches the simulator's receiver.
TEST_F(StbSimPeer, LrzszReceiverTakesAFileAfterTheDownloadFrame) {
  if (std::system("command -v rz >/dev/null && command -v sz >/dev/null") != 0) GTEST_SKIP() << "lrzsz not installed";
  fs::create_directory(dir / "stb");
  const fs::path file = dir / "image.bin";
  {
    std::ofstream out(file, std::ios::binary);
    for (int i = 0; i < 20000; ++i) out.put(static_cast<char>((i * 7) & 0xFF));
  }
  std::string path;
  auto sim = StartStbSim({"--on-download", "cd '" + (dir / "stb").string() + "' && exec rz -q"}, path);
  ASSERT_FALSE(path.empty());
  {
    CSerialPort port{Timing(3000)};
    ASSERT_TRUE(port.OpenPort(path));
    SendUartCommand(port, UART_CMD_START_ZMODEM_DOWNLOAD);
    // rz has the line before sz opens it.
    ASSERT_TRUE(sim->WaitFor("PEER receive"));
    port.ClosePort();
  }
  const std::string cmd = "sz -q '" + file.string() + "' <'" + path + "' >'" + path + "'";
  // sz ends once the receiver has acknowledged the end of the file, so the file is
  // complete here. (rz's own exit hangs on the last "OO", which a pty may drop.)
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::ifstream a(file, std::ios::binary), b(dir / "stb" / "image.bin", std::ios::binary);
  std::stringstream sa, sb;
  sa << a.rdbuf();
  sb << b.rdbuf();
  EXPECT_EQ(sa.str().size(), 20000u);
  EXPECT_EQ(sb.str().size(), 20000u);
  EXPECT_TRUE(sa.str() == sb.str()) << "received file differs";
}

TEST(StbSimLine, QueryThroughTheLineSimulatorAt115200) {
  ChildProcess line({PELAGOR_LINESIM, "--baud", "115200"});
  auto a = line.WaitFor("A ");
  auto b = line.WaitFor("B ");
  ASSERT_TRUE(a && b);
  ChildProcess sim({PELAGOR_STBSIM, "--device", *b, "--model", "LINE-STB", "--boot", "B 2.01", "--main", "M 7.3"});
  ASSERT_TRUE(sim.WaitFor("READY"));
  CSerialPort port{Timing(20000)};
  ASSERT_TRUE(port.OpenPort(*a));
  ReceiverInfoBlock block{};
  ASSERT_TRUE(QueryReceiverInfo(port, block));
  EXPECT_EQ(ParseReceiverInfo(block).model, "LINE-STB");
  EXPECT_EQ(ParseReceiverInfo(block).mainVersion, "M 7.3");
}

}  // namespace
