// Interoperation with lrzsz's sz and rz over real pseudo-terminals, directly and through
// pelagor-linesim with noise.
#include "Zmodem32/ZmodemResult.h"
#include "Zmodem32/ZmodemTransfer.h"
#include "link/CSerialPort.h"
#include "zmodem/ZmodemTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace pelagor;
using zmtest::Bytes;

namespace {

struct Payload {
  const char* name;
  Bytes bytes;
};

std::vector<Payload> Payloads() {
  return {
      {"empty", {}},
      {"one", {0x18}},
      {"block", zmtest::RandomBytes(1024, 11)},
      {"two blocks", zmtest::RandomBytes(2048, 12)},
      {"odd length", zmtest::ControlHeavyBytes(3001)},
      {"large", zmtest::RandomBytes(700 * 1024 + 123, 13)},
      // A download image as the project's own writer makes it.
      {"download image", zmtest::ReadFile(PELAGOR_SAMPLE_IMAGE)},
  };
}

TEST(LrzszPayloads, DownloadImageSampleIsThere) { EXPECT_GT(zmtest::ReadFile(PELAGOR_SAMPLE_IMAGE).size(), 600000u); }

// Our side gives up on a silent line after 2 s; the peers after 3 s.
LinkTiming InteropTiming() { return zmtest::FastTiming(2, 1000); }

void SendToRz(const Payload& p, bool escape, int ourFd, int peerFd, const std::string& peerPath,
              bool expectSuccess = true, ZmodemResult* out = nullptr) {
  zmtest::TempDir dir;
  const std::string src = dir.File("src.bin");
  ASSERT_TRUE(zmtest::WriteFile(src, p.bytes));
  const std::string rxDir = dir.File("rx");
  std::filesystem::create_directory(rxDir);
  std::vector<std::string> argv{"rz", "-q", "-t", "30"};
  if (escape) argv.push_back("-e");
  zmtest::PeerProcess rz(argv, peerFd, peerPath, rxDir, dir.File("rz.log"));
  ASSERT_TRUE(rz.Started());
  ZmodemResult r;
  const int32_t code = ZmodemSendFile(ourFd, src, 0, &r, nullptr, InteropTiming());
  const int rzStatus = rz.Wait(10000);
  if (out) *out = r;
  if (!expectSuccess) {
    // Under noise: a success must have delivered exactly the bytes.
    if (code == ZMODEM_OK && rzStatus == 0) {
      EXPECT_EQ(zmtest::ReadFile(rxDir + "/src.bin"), p.bytes);
    }
    return;
  }
  ASSERT_EQ(code, ZMODEM_OK);
  EXPECT_EQ(rzStatus, 0);
  EXPECT_EQ(zmtest::ReadFile(rxDir + "/src.bin"), p.bytes);
  EXPECT_GE(r.bytesTransferred, int32_t(p.bytes.size()));
}

void ReceiveFromSz(const Payload& p, bool escape, int ourFd, int peerFd, const std::string& peerPath,
                   bool expectSuccess = true, ZmodemResult* out = nullptr) {
  zmtest::TempDir dir;
  const std::string src = dir.File("image.bin");
  ASSERT_TRUE(zmtest::WriteFile(src, p.bytes));
  std::vector<std::string> argv{"sz", "-q", "-t", "30"};
  if (escape) argv.push_back("-e");
  argv.push_back("image.bin");
  zmtest::PeerProcess sz(argv, peerFd, peerPath, dir.Path(), dir.File("sz.log"));
  ASSERT_TRUE(sz.Started());
  ZmodemResult r;
  const int32_t code = ZmodemReceiveFile(ourFd, "", 16, &r, nullptr, InteropTiming());
  const int szStatus = sz.Wait(10000);
  if (!expectSuccess) {
    if (code == ZMODEM_OK)
      EXPECT_EQ(r.data, p.bytes);
    else
      EXPECT_TRUE(r.data.empty());
    if (out) *out = std::move(r);
    return;
  }
  ASSERT_EQ(code, ZMODEM_OK);
  EXPECT_EQ(szStatus, 0);
  EXPECT_EQ(r.dataLength, int32_t(p.bytes.size()));
  EXPECT_EQ(r.data, p.bytes);
  EXPECT_EQ(r.receivedNames, "image.bin");
  if (out) *out = std::move(r);
}

class LrzszDirect : public ::testing::TestWithParam<bool> {};

TEST_P(LrzszDirect, OurSenderToRz) {
  for (const auto& p : Payloads()) {
    SCOPED_TRACE(p.name);
    zmtest::PtyLine line;
    ASSERT_TRUE(line.Ok());
    SendToRz(p, GetParam(), line.Master(), line.Slave(), "");
  }
}

TEST_P(LrzszDirect, SzToOurReceiver) {
  for (const auto& p : Payloads()) {
    SCOPED_TRACE(p.name);
    zmtest::PtyLine line;
    ASSERT_TRUE(line.Ok());
    ReceiveFromSz(p, GetParam(), line.Master(), line.Slave(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Escape, LrzszDirect, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Escaped" : "Plain"; });

// Through the line simulator: our port on end A, the peer on end B.
TEST(LrzszLineSim, BothDirectionsAtFullSpeed) {
  const Payload p{"large", zmtest::RandomBytes(300 * 1024 + 7, 21)};
  {
    zmtest::LineSimProcess sim({});
    ASSERT_TRUE(sim.Ok());
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(sim.Path(0)));
    SendToRz(p, false, int(port.Handle()), -1, sim.Path(1));
  }
  {
    zmtest::LineSimProcess sim({});
    ASSERT_TRUE(sim.Ok());
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(sim.Path(0)));
    ReceiveFromSz(p, false, int(port.Handle()), -1, sim.Path(1));
  }
}

// A burst of corrupted bytes in the data makes the receiving side ask again; the
// transfer then completes with the right bytes and counts the error.
TEST(LrzszLineSim, CorruptedDataIsRepeated) {
  const Payload p{"data", zmtest::RandomBytes(64 * 1024, 22)};
  {
    // A->B is our data to rz.
    zmtest::LineSimProcess sim({"--corrupt", "20000:40"});
    ASSERT_TRUE(sim.Ok());
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(sim.Path(0)));
    ZmodemResult r;
    SendToRz(p, false, int(port.Handle()), -1, sim.Path(1), true, &r);
    EXPECT_GE(r.totalErrors, 1);
    EXPECT_GT(r.bytesTransferred, int32_t(p.bytes.size()));
  }
  {
    // sz on A, so its data crosses the corrupted stretch towards us on B.
    zmtest::LineSimProcess sim({"--corrupt", "20000:40"});
    ASSERT_TRUE(sim.Ok());
    CSerialPort port;
    ASSERT_TRUE(port.OpenPort(sim.Path(1)));
    ZmodemResult r;
    ReceiveFromSz(p, false, int(port.Handle()), -1, sim.Path(0), true, &r);
    EXPECT_GE(r.totalErrors, 1);
  }
}

// Random flips and drops both ways: each run delivers identical bytes or fails.
TEST(LrzszLineSim, NoiseNeverPassesForSuccess) {
  const Payload p{"noisy", zmtest::RandomBytes(48 * 1024, 23)};
  int successes = 0;
  for (int seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE(seed);
    const std::vector<std::string> noise{
        "--seed", std::to_string(seed), "--flip-rate", "0.0002", "--drop-rate", "0.0001", "--noise", "both"};
    {
      zmtest::LineSimProcess sim(noise);
      ASSERT_TRUE(sim.Ok());
      CSerialPort port;
      ASSERT_TRUE(port.OpenPort(sim.Path(0)));
      ZmodemResult r;
      SendToRz(p, false, int(port.Handle()), -1, sim.Path(1), false, &r);
      successes += r.result == ZMODEM_OK;
      std::printf("seed %d send: result %d, errors %d\n", seed, r.result, r.totalErrors);
    }
    {
      zmtest::LineSimProcess sim(noise);
      ASSERT_TRUE(sim.Ok());
      CSerialPort port;
      ASSERT_TRUE(port.OpenPort(sim.Path(0)));
      ZmodemResult r;
      ReceiveFromSz(p, false, int(port.Handle()), -1, sim.Path(1), false, &r);
      successes += r.result == ZMODEM_OK;
      std::printf("seed %d receive: result %d, errors %d\n", seed, r.result, r.totalErrors);
    }
  }
  // The retries must actually recover some of these runs, not just fail safely.
  EXPECT_GE(successes, 1);
}

}  // namespace
