// The receiver's state paths against a scripted sender on a pseudo-terminal.
#include "Zmodem32/CZmodem.h"
#include "Zmodem32/ZmodemProtocol.h"
#include "Zmodem32/ZmodemResult.h"
#include "zmodem/ZmodemScriptedPeer.h"
#include "zmodem/ZmodemTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <chrono>
#include <string>

using namespace pelagor;
using zmtest::Bytes;

namespace {

struct InfoCase {
  const char* info;
  int expect;
  int32_t size, fileTime, files, bytes;
};

TEST(ReceiverFileInfo, FieldsAreParsedAsSent) {
  const InfoCase cases[] = {
      {"100 7 0 0 1 100", ZFILE, 100, 7 + 28800, 1, 100},
      {"100 7", -1, 0, 0, 0, 0},
      {"100", -1, 0, 0, 0, 0},
      {"100 17 0", ZFILE, 100, 15 + 28800, 1, 100},
      {"+42 10 644 0 3 500 0", ZFILE, 42, 8 + 28800, 3, 500},
      {"1500 0 0 0 0 0", ZFILE, 1500, 28800, 1, 1500},
      // A negative or absurd length would size the receive buffer: refused.
      {"-5 0 0 0 1 0", -1, 0, 0, 0, 0},
      {"2147483647 0 0 0 1 0", -1, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.info);
    zmtest::PtyLine line;
    ASSERT_TRUE(line.Ok());
    zmtest::ScriptedPeer peer(line);
    CZmodem zm(zmtest::FastTiming());
    zm.AttachHandle(line.Slave());
    peer.FileInfo("img.bin", c.info);
    ASSERT_EQ(zm.ParseFileInfo(false), c.expect);
    if (c.expect == ZFILE) {
      EXPECT_EQ(zm.State().announcedSize, c.size);
      EXPECT_EQ(zm.State().fileTime, c.fileTime);
      EXPECT_EQ(zm.State().filesRemaining, c.files);
      EXPECT_EQ(zm.State().bytesRemaining, c.bytes);
      EXPECT_EQ(zm.State().fileName, "img.bin");
    }
    zm.DetachHandle();
  }
}

TEST(ReceiverFileInfo, LongNamesAreCut) {
  zmtest::PtyLine line;
  ASSERT_TRUE(line.Ok());
  zmtest::ScriptedPeer peer(line);
  CZmodem zm(zmtest::FastTiming());
  zm.AttachHandle(line.Slave());
  peer.FileInfo(std::string(300, 'n'), "10 0 0 0 1 10");
  EXPECT_EQ(zm.ParseFileInfo(false), ZFILE);
  EXPECT_EQ(zm.State().fileName, std::string(79, 'n'));
  zm.DetachHandle();
}

class Receiver : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(line.Ok()); }
  void Start(const std::string& receiveDir = "", LinkTiming timing = zmtest::FastTiming(2, 500)) {
    zm = std::make_unique<CZmodem>(timing);
    zm->StartReceive(nullptr, line.Slave(), receiveDir, 16);
  }
  // Our ZRINIT, then the file offer; returns after our ZRPOS at 0.
  void Offer(const std::string& name, const std::string& info) {
    ASSERT_TRUE(peer.Expect(ZRINIT));
    EXPECT_EQ(peer.Hdr()[ZF0], CANFDX | CANOVIO | CANFC32);
    peer.FileInfo(name, info);
    ASSERT_TRUE(peer.Expect(ZRPOS));
    EXPECT_EQ(peer.Pos(), 0);
  }
  void SendData(const Bytes& data, int32_t from, int terminator, size_t chunk = 1024) {
    peer.Bin(ZDATA, from);
    for (size_t at = 0; at < data.size() || at == 0; at += chunk) {
      const size_t n = std::min(chunk, data.size() - at);
      const bool last = at + n >= data.size();
      peer.Sub(Bytes(data.begin() + long(at), data.begin() + long(at + n)), last ? terminator : ZCRCG);
      if (last) break;
    }
  }
  void End(int32_t eof) {
    peer.Bin(ZEOF, eof);
    ASSERT_TRUE(peer.Expect(ZRINIT));
    peer.Hex(ZFIN);
    ASSERT_TRUE(peer.Expect(ZFIN));
    zm->Join();
  }
  int WaitEnd() {
    while (zm->Running()) line.Receive(5, 5);
    zm->Join();
    return zm->Result();
  }

  zmtest::PtyLine line;
  zmtest::ScriptedPeer peer{line};
  std::unique_ptr<CZmodem> zm;
};

TEST_F(Receiver, WholeExchangeWithAcknowledgedSubpackets) {
  Start();
  ASSERT_TRUE(peer.Expect(ZRINIT));
  // A sender that opens with ZRQINIT gets a second ZRINIT; ZSINIT is acknowledged at 0.
  peer.Hex(ZRQINIT);
  ASSERT_TRUE(peer.Expect(ZRINIT));
  const Bytes data = zmtest::ControlHeavyBytes(2600);
  peer.FileInfo("a.bin", "2600 0 0 0 1 2600");
  ASSERT_TRUE(peer.Expect(ZRPOS));
  peer.Bin(ZDATA, 0);
  peer.Sub(Bytes(data.begin(), data.begin() + 1000), ZCRCQ);
  ASSERT_TRUE(peer.Expect(ZACK));
  EXPECT_EQ(peer.Pos(), 1000);
  peer.Sub(Bytes(data.begin() + 1000, data.begin() + 2000), ZCRCW);
  ASSERT_TRUE(peer.Expect(ZACK));
  EXPECT_EQ(peer.Pos(), 2000);
  SendData(Bytes(data.begin() + 2000, data.end()), 2000, ZCRCE);
  End(2600);
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
  EXPECT_EQ(zm->TakeData(), data);
  EXPECT_EQ(zm->ReceivedNames(), "a.bin");
}

// The ZRINIT offers CRC-32; a sender that takes it sends every frame with it.
TEST_F(Receiver, TakesTheCrc32FramesItOffers) {
  Start();
  peer.Zm().MutableState().txCrc32 = 1;
  const Bytes data = zmtest::RandomBytes(3000, 13);
  Offer("c.bin", "3000 0 0 0 1 3000");
  SendData(data, 0, ZCRCE);
  End(3000);
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
  EXPECT_EQ(zm->TakeData(), data);
}

TEST_F(Receiver, ZsinitIsAnsweredWithZackAtZero) {
  Start();
  ASSERT_TRUE(peer.Expect(ZRINIT));
  peer.Bin(ZSINIT);
  peer.Sub(Bytes{'A', 't', 't', 'n', 0}, ZCRCW);
  ASSERT_TRUE(peer.Expect(ZACK));
  EXPECT_EQ(peer.Pos(), 0);
  peer.FileInfo("s.bin", "3 0 0 0 1 3");
  ASSERT_TRUE(peer.Expect(ZRPOS));
  SendData(Bytes{1, 2, 3}, 0, ZCRCE);
  End(3);
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
  EXPECT_EQ(zm->TakeData(), (Bytes{1, 2, 3}));
}

TEST_F(Receiver, RewoundDataIsWrittenAgain) {
  Start();
  const Bytes data = zmtest::RandomBytes(3000, 9);
  Offer("r.bin", "3000 0 0 0 1 3000");
  SendData(Bytes(data.begin(), data.begin() + 2048), 0, ZCRCW);
  ASSERT_TRUE(peer.Expect(ZACK));
  // Back to 1024 with different bytes first, then the right ones.
  SendData(Bytes(data.begin() + 1024, data.end()), 1024, ZCRCE);
  End(3000);
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
  EXPECT_EQ(zm->State().bytesTransferred, 3000);
  EXPECT_EQ(zm->TakeData(), data);
}

TEST_F(Receiver, BadSubpacketAsksAgainFromTheReceivePosition) {
  Start();
  const Bytes data = zmtest::RandomBytes(2048, 10);
  Offer("b.bin", "2048 0 0 0 1 2048");
  peer.Bin(ZDATA, 0);
  peer.Sub(Bytes(data.begin(), data.begin() + 1024), ZCRCG);
  // A subpacket cut short by a header: the receiver asks for 1024 again.
  peer.Hex(ZNAK);
  ASSERT_TRUE(peer.Expect(ZRPOS));
  EXPECT_EQ(peer.Pos(), 1024);
  // A ZDATA ahead of what it holds is refused the same way.
  peer.Bin(ZDATA, 1500);
  ASSERT_TRUE(peer.Expect(ZRPOS));
  EXPECT_EQ(peer.Pos(), 1024);
  SendData(Bytes(data.begin() + 1024, data.end()), 1024, ZCRCE);
  End(2048);
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
  EXPECT_EQ(zm->TakeData(), data);
  EXPECT_EQ(zm->State().totalErrors, 2);
}

// A streaming sender looks at the reverse channel between subpackets and restarts on the
// first ZRPOS it reads; anything sent before the ZRPOS can leave it unread until the end
// of the file. So a damaged subpacket, or a ZDATA from the wrong place, is answered with
// the ZRPOS as the very next header.
TEST_F(Receiver, ZrposIsTheOnlyAnswerToADamagedSubpacket) {
  Start();
  const Bytes data = zmtest::RandomBytes(2048, 14);
  Offer("d.bin", "2048 0 0 0 1 2048");
  peer.Bin(ZDATA, 0);
  peer.Sub(Bytes(data.begin(), data.begin() + 1024), ZCRCG);
  // Four data bytes, ZDLE ZCRCG and a CRC-16 that does not check.
  peer.Raw(std::string("abcd\x18i\x00\x00", 8));
  ASSERT_EQ(peer.Header(), ZRPOS);
  EXPECT_EQ(peer.Pos(), 1024);
  peer.Bin(ZDATA, 1500);
  ASSERT_EQ(peer.Header(), ZRPOS);
  EXPECT_EQ(peer.Pos(), 1024);
  SendData(Bytes(data.begin() + 1024, data.end()), 1024, ZCRCE);
  End(2048);
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
  EXPECT_EQ(zm->TakeData(), data);
  EXPECT_EQ(zm->State().totalErrors, 2);
}

TEST_F(Receiver, DataBeyondTheAnnouncedLengthIsNeverStored) {
  Start("", zmtest::FastTiming(1, 20));
  Offer("o.bin", "100 0 0 0 1 100");
  // The sender insists on more data than announced: refused each time until the limit.
  const Bytes data = zmtest::RandomBytes(1024, 1);
  for (int i = 0; i < 110 && zm->Running(); ++i) {
    SendData(data, 0, ZCRCE);
    line.Receive(2, 2);
  }
  EXPECT_EQ(WaitEnd(), ZMODEM_RX_FAILED);
  EXPECT_LE(zm->DataLength(), 100);
}

TEST_F(Receiver, EndOfFileChecks) {
  // ZEOF at a wrong length: a failure (nobody cancelled) after the abort sequence.
  Start();
  Offer("e.bin", "10 0 0 0 1 10");
  SendData(Bytes(10, 7), 0, ZCRCE);
  peer.Bin(ZEOF, 11);
  Bytes wire;
  while (zm->Running()) {
    Bytes b = line.Receive(5, 5);
    wire.insert(wire.end(), b.begin(), b.end());
  }
  zm->Join();
  Bytes rest = line.Receive(100, 20);
  wire.insert(wire.end(), rest.begin(), rest.end());
  EXPECT_EQ(zm->Result(), ZMODEM_RX_FAILED);
  EXPECT_EQ(zmtest::CountHexHeaders(wire, ZABORT), 1);
  EXPECT_GE(zmtest::LongestCanRun(wire), 10);
}

TEST_F(Receiver, EndOfFileBeforeAllDataAsksForTheRest) {
  Start();
  Offer("m.bin", "2048 0 0 0 1 2048");
  const Bytes data = zmtest::RandomBytes(2048, 4);
  SendData(Bytes(data.begin(), data.begin() + 1024), 0, ZCRCE);
  // The end is announced though 1024 bytes are missing: the receiver asks for them.
  peer.Bin(ZEOF, 2048);
  ASSERT_TRUE(peer.Expect(ZRPOS));
  EXPECT_EQ(peer.Pos(), 1024);
  SendData(Bytes(data.begin() + 1024, data.end()), 1024, ZCRCE);
  End(2048);
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
  EXPECT_EQ(zm->TakeData(), data);
}

struct FailCase {
  const char* name;
  int stage;  // 0: wait ZFILE, 1: wait ZDATA, 2: inside data, 3: after data frame, 4: after ZEOF
  int32_t expect;
};

TEST_F(Receiver, FailuresGiveTheirCodes) {
  const FailCase cases[] = {
      {"ZCAN for ZRINIT", 0, ZMODEM_RX_FAILED},           {"ZABORT for ZRPOS", 1, ZMODEM_RX_FAILED},
      {"sender cancel inside data", 2, ZMODEM_CANCELLED}, {"ZCAN after a data frame", 3, ZMODEM_RX_FAILED},
      {"ZABORT after final ZRINIT", 4, ZMODEM_RX_FAILED},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zmtest::PtyLine l;
    ASSERT_TRUE(l.Ok());
    zmtest::ScriptedPeer p(l);
    CZmodem s(zmtest::FastTiming(2, 500));
    s.StartReceive(nullptr, l.Slave(), "", 16);
    ASSERT_TRUE(p.Expect(ZRINIT));
    if (c.stage == 0) p.Hex(ZCAN);
    if (c.stage >= 1) {
      p.FileInfo("f.bin", "5 0 0 0 1 5");
      ASSERT_TRUE(p.Expect(ZRPOS));
    }
    if (c.stage == 1) p.Hex(ZABORT);
    if (c.stage == 2) {
      p.Bin(ZDATA, 0);
      ASSERT_TRUE(line.Ok());
      ASSERT_TRUE(l.Send(Bytes{1, 2, 0x18, 0x18, 0x18, 0x18, 0x18}));
    }
    if (c.stage >= 3) {
      p.Bin(ZDATA, 0);
      p.Sub(Bytes(5, 1), ZCRCE);
    }
    if (c.stage == 3) p.Hex(ZCAN);
    if (c.stage == 4) {
      p.Bin(ZEOF, 5);
      ASSERT_TRUE(p.Expect(ZRINIT));
      p.Hex(ZABORT);
    }
    while (s.Running()) l.Receive(5, 5);
    s.Join();
    EXPECT_EQ(s.Result(), c.expect);
  }
}

// Damaged or unexpected headers around the end of the data are answered as lrzsz does,
// with a ZRPOS at the receive position or a repeated ZRINIT, and the file still arrives.
TEST_F(Receiver, DamagedHeadersAroundTheEndAreRecovered) {
  enum Where { kForZeof, kZackForZeof, kSilenceForZeof, kForZfin, kZeofAgain, kZdataForZfin };
  struct Case {
    const char* name;
    Where where;
  };
  const Case cases[] = {
      {"damaged header after a data frame", kForZeof},   {"ZACK after a data frame", kZackForZeof},
      {"nothing after a data frame", kSilenceForZeof},   {"damaged header after the final ZRINIT", kForZfin},
      {"ZEOF again after the final ZRINIT", kZeofAgain}, {"ZDATA after the final ZRINIT", kZdataForZfin},
  };
  const Bytes data = zmtest::RandomBytes(1500, 12);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zmtest::PtyLine l;
    ASSERT_TRUE(l.Ok());
    // The peer outwaits the session under test.
    zmtest::ScriptedPeer p(l, zmtest::FastTiming(2, 2500));
    // Byte waits of 3 s: only the silence case waits one out.
    CZmodem s(zmtest::FastTiming(2, 1500));
    s.StartReceive(nullptr, l.Slave(), "", 16);
    ASSERT_TRUE(p.Expect(ZRINIT));
    p.FileInfo("f.bin", "1500 0 0 0 1 1500");
    ASSERT_TRUE(p.Expect(ZRPOS));
    p.Bin(ZDATA, 0);
    p.Sub(Bytes(data.begin(), data.begin() + 1024), ZCRCG);
    p.Sub(Bytes(data.begin() + 1024, data.end()), ZCRCE);
    if (c.where == kForZeof) p.DamagedHex(ZEOF, 1500);
    if (c.where == kZackForZeof) p.Hex(ZACK, 1500);
    if (c.where == kForZeof || c.where == kZackForZeof || c.where == kSilenceForZeof) {
      ASSERT_EQ(p.Header(), ZRPOS);
      EXPECT_EQ(p.Pos(), 1500);
    }
    p.Bin(ZEOF, 1500);
    ASSERT_EQ(p.Header(), ZRINIT);
    if (c.where == kForZfin) p.DamagedHex(ZFIN);
    if (c.where == kZeofAgain) p.Bin(ZEOF, 1500);
    if (c.where == kZdataForZfin) p.Bin(ZDATA, 0);
    if (c.where >= kForZfin) {
      ASSERT_EQ(p.Header(), ZRINIT);
    }
    p.Hex(ZFIN);
    ASSERT_EQ(p.Header(), ZFIN);
    s.Join();
    EXPECT_EQ(s.Result(), ZMODEM_OK);
    EXPECT_EQ(s.CancelResult(), 0);
    EXPECT_EQ(s.State().totalErrors, 1);
    EXPECT_EQ(s.TakeData(), data);
  }
}

// A sender that is gone or has stopped ends an upload in moments as a failure, with the
// abort sequence where the line still takes it.
TEST_F(Receiver, LostSenderFailsQuickly) {
  using Clock = std::chrono::steady_clock;
  for (bool closed : {false, true}) {
    SCOPED_TRACE(closed ? "far end of the line closed" : "sender silent mid-file");
    zmtest::PtyLine l;
    ASSERT_TRUE(l.Ok());
    zmtest::ScriptedPeer p(l);
    // Byte waits of 20 s: none may be waited out.
    LinkTiming t = zmtest::FastTiming(2, 10000);
    t.writeWaitMs = 1000;
    t.zmodemStallMs = 1000;
    CZmodem s(t);
    s.StartReceive(nullptr, l.Slave(), "", 16);
    ASSERT_TRUE(p.Expect(ZRINIT));
    p.FileInfo("g.bin", "5000 0 0 0 1 5000");
    ASSERT_TRUE(p.Expect(ZRPOS));
    p.Bin(ZDATA, 0);
    p.Sub(Bytes(1024, 3), ZCRCG);
    const auto t0 = Clock::now();
    Bytes wire;
    if (closed) {
      l.CloseMaster();
      s.Join();
    } else {
      while (s.Running()) {
        const Bytes b = l.Receive(5, 5);
        wire.insert(wire.end(), b.begin(), b.end());
      }
      s.Join();
      const Bytes rest = l.Receive(100, 20);
      wire.insert(wire.end(), rest.begin(), rest.end());
    }
    EXPECT_LT(std::chrono::duration<double>(Clock::now() - t0).count(), 5.0);
    EXPECT_EQ(s.Result(), ZMODEM_RX_FAILED);
    EXPECT_EQ(s.CancelResult(), 0);
    if (!closed) {
      EXPECT_EQ(s.DataLength(), 1024);
      EXPECT_EQ(zmtest::CountHexHeaders(wire, ZABORT), 1);
      EXPECT_GE(zmtest::LongestCanRun(wire), 10);
    }
  }
}

TEST_F(Receiver, SilentSenderHitsTheErrorLimit) {
  Start("", zmtest::FastTiming(1, 2));
  EXPECT_EQ(WaitEnd(), ZMODEM_RX_FAILED);
  EXPECT_EQ(zm->State().totalErrors, 101);
}

TEST_F(Receiver, LaterFilesGoIntoTheSameBuffer) {
  Start();
  Offer("one.bin", "8 0 0 0 2 12");
  SendData(Bytes(8, 1), 0, ZCRCE);
  peer.Bin(ZEOF, 8);
  ASSERT_TRUE(peer.Expect(ZRINIT));
  peer.FileInfo("two.bin", "4 0 0 0 1 4");
  ASSERT_TRUE(peer.Expect(ZRPOS));
  SendData(Bytes(4, 2), 0, ZCRCE);
  End(4);
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
  // The caller gets the latest file's bytes, and no more than that.
  EXPECT_EQ(zm->TakeData(), Bytes(4, 2));
  EXPECT_EQ(zm->ReceivedNames(), "one.bintwo.bin");
}

TEST_F(Receiver, ALaterLongerFileCannotOverrunTheBuffer) {
  Start("", zmtest::FastTiming(1, 20));
  Offer("one.bin", "8 0 0 0 2 108");
  SendData(Bytes(8, 1), 0, ZCRCE);
  peer.Bin(ZEOF, 8);
  ASSERT_TRUE(peer.Expect(ZRINIT));
  peer.FileInfo("two.bin", "100 0 0 0 1 100");
  ASSERT_TRUE(peer.Expect(ZRPOS));
  for (int i = 0; i < 110 && zm->Running(); ++i) {
    SendData(Bytes(100, 2), 0, ZCRCE);
    line.Receive(2, 2);
  }
  EXPECT_EQ(WaitEnd(), ZMODEM_RX_FAILED);
  EXPECT_LE(zm->DataLength(), 8);
}

TEST_F(Receiver, FileTimesOnlyForPlainNamesInsideTheReceiveDirectory) {
  zmtest::TempDir top;
  const std::string inner = top.File("rx");
  std::filesystem::create_directory(inner);
  const std::string victim = top.File("victim");
  ASSERT_TRUE(zmtest::WriteFile(victim, Bytes{1}));
  ASSERT_TRUE(zmtest::WriteFile(inner + "/good", Bytes{1}));
  struct stat before {};
  ASSERT_EQ(::stat(victim.c_str(), &before), 0);

  struct Case {
    const char* name;
    std::string dir;
    bool touchesGood;
  };
  const Case cases[] = {
      {"../victim", inner + "/", false},
      {"good", inner + "/", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zmtest::PtyLine l;
    ASSERT_TRUE(l.Ok());
    zmtest::ScriptedPeer p(l);
    CZmodem s(zmtest::FastTiming(2, 500));
    s.StartReceive(nullptr, l.Slave(), c.dir, 16);
    ASSERT_TRUE(p.Expect(ZRINIT));
    p.FileInfo(c.name, "1 1750 0 0 1 1");  // octal 1750 = 1000 seconds
    ASSERT_TRUE(p.Expect(ZRPOS));
    p.Bin(ZDATA, 0);
    p.Sub(Bytes{1}, ZCRCE);
    p.Bin(ZEOF, 1);
    ASSERT_TRUE(p.Expect(ZRINIT));
    p.Hex(ZFIN);
    ASSERT_TRUE(p.Expect(ZFIN));
    s.Join();
    EXPECT_EQ(s.Result(), ZMODEM_OK);
    struct stat after {};
    ASSERT_EQ(::stat(victim.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtime, before.st_mtime);
    struct stat good {};
    ASSERT_EQ(::stat((inner + "/good").c_str(), &good), 0);
    if (c.touchesGood)
      EXPECT_EQ(good.st_mtime, 1000 + 28800);
    else
      EXPECT_NE(good.st_mtime, 1000 + 28800);
  }
}

TEST_F(Receiver, StopAtATestPointGivesTheCancelResult) {
  Start();
  Offer("s.bin", "5000 0 0 0 1 5000");
  peer.Bin(ZDATA, 0);
  peer.Sub(Bytes(1024, 3), ZCRCW);
  ASSERT_TRUE(peer.Expect(ZACK));
  zm->RequestStop();
  Bytes wire;
  while (zm->Running()) {
    Bytes b = line.Receive(5, 5);
    wire.insert(wire.end(), b.begin(), b.end());
  }
  zm->Join();
  Bytes rest = line.Receive(100, 20);
  wire.insert(wire.end(), rest.begin(), rest.end());
  EXPECT_EQ(zm->CancelResult(), ZMODEM_STOPPED);
  EXPECT_EQ(zmtest::CountHexHeaders(wire, ZABORT), 1);
  EXPECT_GE(zmtest::LongestCanRun(wire), 10);
}

TEST_F(Receiver, StopWhileWaitingForAFileIsACancelToo) {
  Start();
  ASSERT_TRUE(peer.Expect(ZRINIT));
  zm->RequestStop();
  EXPECT_EQ(WaitEnd(), ZMODEM_OK);
  EXPECT_EQ(zm->CancelResult(), ZMODEM_STOPPED);
}

}  // namespace
