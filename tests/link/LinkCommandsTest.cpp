// The CLI's link commands parsed as pelagor-cli parses them, against the receiver
// simulator on real pseudo-terminals (and through the line simulator).
#include "LinkCommands.h"
#include "support/ChildProcess.h"
#include "link/SerialPortList.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace pelagor;
using pelagor::test::ChildProcess;
using pelagor::test::StartStbSim;

namespace {

struct Outcome {
  int status = 0;
  std::string out, err;
};

LinkTiming Timing(uint32_t infoWaitMs) {
  LinkTiming t;
  t.infoReplyWaitMs = infoWaitMs;
  return t;
}

Outcome RunCli(std::vector<std::string> args, uint32_t infoWaitMs = 20000) {
  std::ostringstream out, err;
  CLI::App app{"test", "pelagor-cli"};
  app.require_subcommand(1);
  AddLinkCommands(app, out, err, Timing(infoWaitMs));
  std::reverse(args.begin(), args.end());  // CLI11 takes them last first
  Outcome o;
  try {
    app.parse(args);
  } catch (const CLI::RuntimeError& e) {
    o.status = e.get_exit_code();
  } catch (const CLI::ParseError& e) {
    o.status = -1;
    o.err = e.what();
  }
  o.out += out.str();
  o.err += err.str();
  return o;
}

TEST(CliStbInfo, ThroughTheLineSimulatorAt115200) {
  ChildProcess line({PELAGOR_LINESIM, "--baud", "115200"});
  auto a = line.WaitFor("A ");
  auto b = line.WaitFor("B ");
  ASSERT_TRUE(a && b);
  ChildProcess sim(
      {PELAGOR_STBSIM, "--device", *b, "--model", "HD 9600 T2", "--boot", "BL 1.04", "--main", "APP 3.21.7"});
  ASSERT_TRUE(sim.WaitFor("READY"));
  const Outcome o = RunCli({"stb-info", "--port", *a});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Model: HD 9600 T2\nBoot Ver.: BL 1.04\nMain Ver.: APP 3.21.7\n");
  EXPECT_EQ(o.err, "");
}

TEST(CliStbInfo, ReceiverBytesArePrintedSafely) {
  std::string path;
  auto sim = StartStbSim({"--model", "\x1b[2J\xe9t\xe9", "--boot", "", "--main", "\x7f"}, path);
  ASSERT_FALSE(path.empty());
  const Outcome o = RunCli({"stb-info", "--port", path});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "Model: ?[2J\xc3\xa9t\xc3\xa9\nBoot Ver.: \nMain Ver.: ?\n");
}

class CliStbInfoFailure : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(CliStbInfoFailure, MissingOrShortReplyIsStatusOneWithTheMessage) {
  std::string path;
  auto sim = StartStbSim(GetParam(), path);
  ASSERT_FALSE(path.empty());
  const Outcome o = RunCli({"stb-info", "--port", path}, 200);
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "STB not connected or Version not supported !!!\n");
}

INSTANTIATE_TEST_SUITE_P(Replies, CliStbInfoFailure,
                         ::testing::Values(std::vector<std::string>{"--silent"},
                                           std::vector<std::string>{"--reply-bytes", "103"},
                                           std::vector<std::string>{"--reply-bytes", "0"}));

TEST(CliStbInfo, UnopenableDeviceIsNamed) {
  const Outcome o = RunCli({"stb-info", "--port", "/dev/pelagor-absent"});
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(o.err, "Can not open /dev/pelagor-absent !\n");
}

TEST(CliStbInfo, PortIsRequired) {
  const Outcome o = RunCli({"stb-info"});
  EXPECT_EQ(o.status, -1);
  EXPECT_NE(o.err.find("--port"), std::string::npos) << o.err;
}

TEST(CliPorts, ListsTheHostPortsOnePerLine) {
  std::string expected;
  for (const std::string& p : EnumerateSerialPorts()) expected += p + "\n";
  const Outcome o = RunCli({"ports"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, expected);
}

// The built pelagor-cli takes the link commands in.
TEST(CliBinary, StbInfoAgainstTheSimulator) {
  std::string path;
  auto sim = StartStbSim({"--model", "BIN-1", "--boot", "b", "--main", "m"}, path);
  ASSERT_FALSE(path.empty());
  ChildProcess cli({PELAGOR_CLI, "stb-info", "--port", path});
  EXPECT_EQ(cli.ReadLine(30000), "Model: BIN-1");
  EXPECT_EQ(cli.ReadLine(30000), "Boot Ver.: b");
  EXPECT_EQ(cli.ReadLine(30000), "Main Ver.: m");
}

}  // namespace
