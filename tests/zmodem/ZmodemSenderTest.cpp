// The sender's state paths against a scripted receiver on a pseudo-terminal.
#include "Zmodem32/CZmodem.h"
#include "Zmodem32/ZmodemProtocol.h"
#include "Zmodem32/ZmodemResult.h"
#include "zmodem/ZmodemScriptedPeer.h"
#include "zmodem/ZmodemTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

using namespace pelagor;
using zmtest::Bytes;

namespace {

class Sender : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(line.Ok()); }
  void Start(const Bytes& content, LinkTiming timing = zmtest::FastTiming(2, 500)) {
    path = dir.File("src.bin");
    ASSERT_TRUE(zmtest::WriteFile(path, content));
    zm = std::make_unique<CZmodem>(timing);
    zm->StartSend(nullptr, line.Slave(), path, 0);
  }
  void Finish() { zm->Join(); }
  // ZRQINIT, then our ZRINIT with the given flags, then the ZFILE with its block.
  void Handshake(uint8_t zf0) {
    ASSERT_TRUE(peer.Expect(ZRQINIT));
    peer.HexFlags(ZRINIT, zf0);
    ASSERT_TRUE(peer.Expect(ZFILE));
    ASSERT_EQ(peer.Subpacket(), GOTCRCW);
  }
  // Reads one data frame starting at from: subpackets until ZCRCE, then the ZEOF; returns
  // the bytes. A ZCRCQ subpacket is acknowledged, as every receiver does.
  Bytes ReadDataFrame(std::vector<int>* terminators = nullptr, int32_t* eofPos = nullptr, int32_t from = 0) {
    Bytes got;
    for (;;) {
      int st = peer.Subpacket();
      if (terminators) terminators->push_back(st);
      if (st < GOTCRCE || st > GOTCRCW) {
        ADD_FAILURE() << "bad subpacket " << st;
        return got;
      }
      got.insert(got.end(), peer.Data().begin(), peer.Data().end());
      if (st == GOTCRCQ) peer.Hex(ZACK, from + int32_t(got.size()));
      if (st == GOTCRCE) break;
    }
    EXPECT_EQ(peer.Header(), ZEOF);
    if (eofPos) *eofPos = peer.Pos();
    return got;
  }

  zmtest::TempDir dir;
  zmtest::PtyLine line;
  zmtest::ScriptedPeer peer{line};
  std::unique_ptr<CZmodem> zm;
  std::string path;
};

struct FrameCase {
  const char* name;
  size_t size;
  uint8_t zf0;
  std::vector<int> terminators;
};

TEST_F(Sender, StreamsFullSubpacketsThenAShortEnd) {
  const FrameCase cases[] = {
      {"empty file", 0, CANFC32, {GOTCRCE}},
      {"two blocks exactly", 2048, CANFC32, {GOTCRCG, GOTCRCG, GOTCRCE}},
      {"1500 bytes, CRC-16", 1500, 0, {GOTCRCG, GOTCRCE}},
      {"escaped controls", 3000, CANFC32 | TESCCTL, {GOTCRCG, GOTCRCG, GOTCRCE}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zmtest::PtyLine l;
    ASSERT_TRUE(l.Ok());
    zmtest::ScriptedPeer p(l);
    const Bytes content = zmtest::ControlHeavyBytes(c.size);
    const std::string src = dir.File("a.bin");
    ASSERT_TRUE(zmtest::WriteFile(src, content));
    CZmodem s(zmtest::FastTiming(2, 500));
    s.StartSend(nullptr, l.Slave(), src, 0);

    ASSERT_TRUE(p.Expect(ZRQINIT));
    p.HexFlags(ZRINIT, c.zf0);
    ASSERT_TRUE(p.Expect(ZFILE));
    EXPECT_EQ(p.Zm().LastHeaderCrc32(), (c.zf0 & CANFC32) != 0);
    ASSERT_EQ(p.Subpacket(), GOTCRCW);
    const std::string info = std::to_string(c.size) + " 0 0 0 1 " + std::to_string(c.size) + " 0";
    Bytes block{'a', '.', 'b', 'i', 'n', 0};
    block.insert(block.end(), info.begin(), info.end());
    block.push_back(0);
    EXPECT_EQ(p.Data(), block);

    p.Hex(ZRPOS, 0);
    if (c.zf0 & TESCCTL) {
      // Every control byte is escaped from now on: none travels raw in the data.
      Bytes wire = zmtest::PtyLine::ReadFrom(l.Master(), 500, 50);
      size_t start = 10;  // after the ZDATA's NULs
      for (size_t i = start; i < wire.size(); ++i)
        if ((wire[i] & 0x60) == 0 && wire[i] != 0x18 && wire[i] != 0x11 && wire[i] != 0x0D && wire[i] != 0x8A)
          ADD_FAILURE() << "raw control " << int(wire[i]) << " at " << i;
      ASSERT_TRUE(zmtest::PtyLine::WriteAll(l.Slave(), wire.data(), wire.size()));
      // What the port wrote to the slave arrives at the master again: decode it there.
      p.Zm().MutableState().escapeControls = 1;
    }
    ASSERT_EQ(p.Header(), ZDATA);
    EXPECT_EQ(p.Pos(), 0);
    std::vector<int> terms;
    int32_t eof = -1;
    Bytes got;
    for (;;) {
      int st = p.Subpacket();
      terms.push_back(st);
      if (st < GOTCRCE || st > GOTCRCW) break;
      got.insert(got.end(), p.Data().begin(), p.Data().end());
      if (st == GOTCRCE) break;
    }
    EXPECT_EQ(terms, c.terminators);
    EXPECT_EQ(got, content);
    ASSERT_EQ(p.Header(), ZEOF);
    eof = p.Pos();
    EXPECT_EQ(eof, int32_t(c.size));
    p.HexFlags(ZRINIT, c.zf0);
    ASSERT_TRUE(p.Expect(ZFIN));
    p.Hex(ZFIN);
    s.Join();
    EXPECT_EQ(s.Result(), ZMODEM_OK);
    EXPECT_EQ(s.State().bytesTransferred, int32_t(c.size));
  }
}

bool Contains(const Bytes& wire, const std::string& needle) {
  return std::search(wire.begin(), wire.end(), needle.begin(), needle.end()) != wire.end();
}

// What a data frame looks like on the wire: ten NULs and a binary ZDATA header of the CRC
// kind the receiver offered, subpackets of that kind, and a binary ZEOF of that kind.
TEST_F(Sender, DataFramesGoOutAsBinaryHeadersOfTheOfferedCrc) {
  struct Case {
    const char* name;
    uint8_t zf0;
    char kind;
  };
  const Case cases[] = {{"receiver offers CRC-32", CANFC32, 'C'}, {"CRC-16 only", 0, 'A'}};
  const Bytes content = zmtest::ControlHeavyBytes(2500);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool crc32 = c.kind == 'C';
    zmtest::PtyLine l;
    ASSERT_TRUE(l.Ok());
    zmtest::ScriptedPeer p(l);
    const std::string src = dir.File("w.bin");
    ASSERT_TRUE(zmtest::WriteFile(src, content));
    CZmodem s(zmtest::FastTiming(2, 2500));
    s.StartSend(nullptr, l.Slave(), src, 0);
    ASSERT_TRUE(p.Expect(ZRQINIT));
    p.HexFlags(ZRINIT, c.zf0);
    ASSERT_TRUE(p.Expect(ZFILE));
    EXPECT_EQ(p.Zm().LastHeaderCrc32(), crc32);
    ASSERT_EQ(p.Subpacket(), GOTCRCW);

    for (int32_t from : {0, 1024}) {
      SCOPED_TRACE(from);
      p.Hex(ZRPOS, from);
      // The whole frame up to the ZEOF, as raw bytes: read until the ZEOF has come and the
      // line has gone quiet (a loaded machine may pause the sender mid-frame).
      const std::string eofStart = std::string("*\x18") + c.kind + "\x0b";
      Bytes wire;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (std::chrono::steady_clock::now() < deadline) {
        const Bytes b = zmtest::PtyLine::ReadFrom(l.Master(), 200, 50);
        wire.insert(wire.end(), b.begin(), b.end());
        if (b.empty() && Contains(wire, eofStart)) break;
      }
      ASSERT_GT(wire.size(), 14u);
      const std::string start = std::string(10, '\0') + "*\x18" + c.kind + "\x0a";
      EXPECT_EQ(std::string(wire.begin(), wire.begin() + 14), start);
      EXPECT_TRUE(Contains(wire, eofStart)) << "binary ZEOF";
      EXPECT_FALSE(Contains(wire,
                            "**\x18"
                            "B0a"))
          << "hex ZDATA";
      EXPECT_FALSE(Contains(wire,
                            "**\x18"
                            "B0b"))
          << "hex ZEOF";
      // Decode every header and subpacket: what the port wrote comes back to the peer.
      ASSERT_TRUE(zmtest::PtyLine::WriteAll(l.Slave(), wire.data(), wire.size()));
      ASSERT_EQ(p.Header(), ZDATA);
      EXPECT_EQ(p.Pos(), from);
      EXPECT_EQ(p.Zm().LastHeaderCrc32(), crc32);
      Bytes got;
      std::vector<int> terms;
      for (;;) {
        const int st = p.Subpacket();
        terms.push_back(st);
        if (st < GOTCRCE || st > GOTCRCW) break;
        got.insert(got.end(), p.Data().begin(), p.Data().end());
        if (st == GOTCRCE) break;
      }
      EXPECT_EQ(terms.back(), GOTCRCE);
      EXPECT_EQ(got, Bytes(content.begin() + from, content.end()));
      ASSERT_EQ(p.Header(), ZEOF);
      EXPECT_EQ(p.Zm().LastHeaderCrc32(), crc32);
      EXPECT_EQ(p.Pos(), 2500);
    }
    p.HexFlags(ZRINIT, c.zf0);
    ASSERT_TRUE(p.Expect(ZFIN));
    p.Hex(ZFIN);
    s.Join();
    EXPECT_EQ(s.Result(), ZMODEM_OK);
  }
}

// A damaged reply is answered by repeating what the receiver may have missed, counted as
// an error, and the transfer still ends well.
TEST_F(Sender, DamagedRepliesAreRecovered) {
  enum Where { kAfterEof, kSilenceAfterEof, kAfterFin, kZrinitForFin, kWhileStreaming };
  struct Case {
    const char* name;
    Where where;
  };
  const Case cases[] = {
      {"damaged header after the data frame", kAfterEof},
      {"no reply to ZEOF", kSilenceAfterEof},
      {"damaged reply to ZFIN", kAfterFin},
      {"ZRINIT again instead of ZFIN", kZrinitForFin},
      {"damaged header while streaming", kWhileStreaming},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zmtest::PtyLine l;
    ASSERT_TRUE(l.Ok());
    // The peer outwaits the session under test.
    zmtest::ScriptedPeer p(l, zmtest::FastTiming(2, 2500));
    const Bytes content = zmtest::RandomBytes(c.where == kWhileStreaming ? 40 * 1024 : 3000, 7);
    const std::string src = dir.File("d.bin");
    ASSERT_TRUE(zmtest::WriteFile(src, content));
    // Byte waits of 3 s: only the silence case waits one out.
    CZmodem s(zmtest::FastTiming(2, 1500));
    s.StartSend(nullptr, l.Slave(), src, 0);
    ASSERT_TRUE(p.Expect(ZRQINIT));
    p.HexFlags(ZRINIT, CANFC32);
    ASSERT_TRUE(p.Expect(ZFILE));
    ASSERT_EQ(p.Subpacket(), GOTCRCW);
    p.Hex(ZRPOS, 0);
    ASSERT_EQ(p.Header(), ZDATA);
    Bytes got;
    for (int n = 0;; ++n) {
      const int st = p.Subpacket();
      ASSERT_TRUE(st >= GOTCRCE && st <= GOTCRCW) << st;
      got.insert(got.end(), p.Data().begin(), p.Data().end());
      if (st == GOTCRCE) break;
      if (c.where == kWhileStreaming && n == 3) p.DamagedHex(ZRPOS, 0);
    }
    EXPECT_EQ(got, content);
    ASSERT_EQ(p.Header(), ZEOF);
    if (c.where == kAfterEof) p.DamagedHex(ZRINIT);
    if (c.where == kAfterEof || c.where == kSilenceAfterEof) {
      // The end is offered again, as a binary ZEOF at the same length.
      ASSERT_EQ(p.Header(), ZEOF);
      EXPECT_EQ(p.Pos(), int32_t(content.size()));
    }
    p.HexFlags(ZRINIT, CANFC32);
    ASSERT_EQ(p.Header(), ZFIN);
    if (c.where == kAfterFin) p.DamagedHex(ZFIN);
    if (c.where == kZrinitForFin) p.HexFlags(ZRINIT, CANFC32);
    if (c.where == kAfterFin || c.where == kZrinitForFin) {
      ASSERT_EQ(p.Header(), ZFIN);
    }
    p.Hex(ZFIN);
    const Bytes tail = zmtest::PtyLine::ReadFrom(l.Master(), 3000, 30);
    s.Join();
    EXPECT_EQ(s.Result(), ZMODEM_OK);
    EXPECT_EQ(s.CancelResult(), 0);
    EXPECT_EQ(s.State().totalErrors, 1);
    EXPECT_TRUE(Contains(tail, "OO"));
  }
}

// A receiver that is gone or no longer answers ends a download in moments, as a failure
// with the abort sequence, never as a success or a cancel.
TEST_F(Sender, LostReceiverFailsQuickly) {
  enum How { kStopsReading, kSilentAfterData, kLineClosed };
  struct Case {
    const char* name;
    How how;
  };
  const Case cases[] = {
      {"receiver stops reading", kStopsReading},
      {"receiver silent after the data", kSilentAfterData},
      {"far end of the line closed", kLineClosed},
  };
  using Clock = std::chrono::steady_clock;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zmtest::PtyLine l;
    ASSERT_TRUE(l.Ok());
    zmtest::ScriptedPeer p(l);
    const std::string src = dir.File("l.bin");
    ASSERT_TRUE(zmtest::WriteFile(src, zmtest::RandomBytes(c.how == kSilentAfterData ? 5000 : 400000, 8)));
    // Byte waits of 20 s: none may be waited out. Writes and the stall take 0.5 s.
    LinkTiming t = zmtest::FastTiming(2, 10000);
    t.writeWaitMs = 500;
    t.zmodemStallMs = 500;
    CZmodem s(t);
    s.StartSend(nullptr, l.Slave(), src, 0);
    ASSERT_TRUE(p.Expect(ZRQINIT));
    p.HexFlags(ZRINIT, CANFC32);
    ASSERT_TRUE(p.Expect(ZFILE));
    ASSERT_EQ(p.Subpacket(), GOTCRCW);
    p.Hex(ZRPOS, 0);
    ASSERT_EQ(p.Header(), ZDATA);
    ASSERT_EQ(p.Subpacket(), GOTCRCG);
    const auto t0 = Clock::now();
    Bytes wire;
    if (c.how == kLineClosed) {
      l.CloseMaster();
      s.Join();
    } else if (c.how == kStopsReading) {
      // Nobody reads until the session has ended.
      while (s.Running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
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
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(s.Result(), ZMODEM_TX_ERROR_LIMIT);
    EXPECT_EQ(s.CancelResult(), 0);
    if (c.how == kSilentAfterData) {
      EXPECT_EQ(zmtest::CountHexHeaders(wire, ZCAN), 4);
      EXPECT_GE(zmtest::LongestCanRun(wire), 10);
    }
  }
}

TEST_F(Sender, RewindResendsFromTheAskedPosition) {
  const Bytes content = zmtest::RandomBytes(2500, 5);
  Start(content);
  Handshake(CANFC32);
  peer.Hex(ZRPOS, 0);
  ASSERT_EQ(peer.Header(), ZDATA);
  Bytes first = ReadDataFrame();
  EXPECT_EQ(first, content);
  // Ask again from 1024 after the end: the rest goes out once more.
  peer.Hex(ZRPOS, 1024);
  ASSERT_EQ(peer.Header(), ZDATA);
  EXPECT_EQ(peer.Pos(), 1024);
  int32_t eof = 0;
  Bytes again = ReadDataFrame(nullptr, &eof, 1024);
  EXPECT_EQ(again, Bytes(content.begin() + 1024, content.end()));
  EXPECT_EQ(eof, 2500);
  // ZSKIP after ZEOF is taken like the final ZRINIT; a reply other than ZFIN still ends well.
  peer.Hex(ZSKIP);
  ASSERT_TRUE(peer.Expect(ZFIN));
  peer.Hex(ZACK);
  Finish();
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
  EXPECT_EQ(zm->State().bytesTransferred, 2500 + 1476);
  EXPECT_EQ(zm->State().dataBytes, 2500);
  EXPECT_EQ(zm->State().totalErrors, 1);
  const Bytes tail = line.Receive(300, 30);
  EXPECT_NE(std::string(tail.begin(), tail.end()).find("OO"), std::string::npos);
}

TEST_F(Sender, ZrposWhileStreamingRewinds) {
  const Bytes content = zmtest::RandomBytes(40 * 1024, 6);
  Start(content);
  Handshake(CANFC32);
  peer.Hex(ZRPOS, 0);
  ASSERT_EQ(peer.Header(), ZDATA);
  // Past the first pair (whose end purges stale replies), ask to start over.
  for (int i = 0; i < 3; ++i) ASSERT_EQ(peer.Subpacket(), GOTCRCG);
  peer.Hex(ZRPOS, 0);
  // The sender notices between two pairs of subpackets and starts over at 0.
  bool rewound = false;
  for (int i = 0; i < 60 && !rewound; ++i) {
    int t = peer.Header() & 0xFF;
    if (t == ZDATA && peer.Pos() == 0) rewound = true;
  }
  ASSERT_TRUE(rewound);
  Bytes got = ReadDataFrame();
  EXPECT_EQ(got, content);
  peer.HexFlags(ZRINIT, CANFC32);
  ASSERT_TRUE(peer.Expect(ZFIN));
  peer.Hex(ZFIN);
  Finish();
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
  EXPECT_EQ(zm->State().dataBytes, int32_t(content.size()));
  EXPECT_GT(zm->State().bytesTransferred, int32_t(content.size()));
}

// Once the receiver has asked for a repeat, the line is taken as noisy: shorter
// subpackets that ask for an acknowledgement, and never more than a window of data
// ahead of what the receiver has confirmed, so a repeat does not queue behind stale data.
TEST_F(Sender, AfterARepeatDataIsAcknowledgedWithinAWindow) {
  const Bytes content = zmtest::RandomBytes(12 * 1024, 14);
  // Polls of 50 ms: the window wait (30 polls) well outlasts the pause the test makes.
  Start(content, zmtest::FastTiming(50, 100));
  Handshake(CANFC32);
  peer.Hex(ZRPOS, 0);
  ASSERT_EQ(peer.Header(), ZDATA);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(peer.Subpacket(), GOTCRCG);
  peer.Hex(ZRPOS, 1024);
  bool rewound = false;
  for (int i = 0; i < 60 && !rewound; ++i) rewound = (peer.Header() & 0xFF) == ZDATA && peer.Pos() == 1024;
  ASSERT_TRUE(rewound);
  // Without acknowledgements the sender stops after the window.
  Bytes got;
  while (got.size() < 2048) {
    ASSERT_EQ(peer.Subpacket(), GOTCRCQ);
    EXPECT_EQ(peer.Data().size(), 512u);
    got.insert(got.end(), peer.Data().begin(), peer.Data().end());
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(peer.Zm().WaitCommData(0), 0);
  // Each acknowledgement lets more go out.
  peer.Hex(ZACK, 1024 + int32_t(got.size()));
  int32_t eof = 0;
  std::vector<int> terms;
  const Bytes rest = ReadDataFrame(&terms, &eof, 1024 + int32_t(got.size()));
  got.insert(got.end(), rest.begin(), rest.end());
  EXPECT_EQ(got, Bytes(content.begin() + 1024, content.end()));
  EXPECT_EQ(eof, int32_t(content.size()));
  EXPECT_EQ(terms.front(), GOTCRCQ);
  peer.HexFlags(ZRINIT, CANFC32);
  ASSERT_TRUE(peer.Expect(ZFIN));
  peer.Hex(ZFIN);
  Finish();
  EXPECT_EQ(zm->Result(), ZMODEM_OK);
}

struct AbortCase {
  const char* name;
  int stage;  // 0: in wait ZRINIT, 1: after ZFILE, 2: streaming, 3: after ZEOF
  int type;
};

TEST_F(Sender, PeerAbortEndsWithMinus15) {
  const AbortCase cases[] = {
      {"ZCAN for ZRQINIT", 0, ZCAN},
      {"ZABORT for ZFILE", 1, ZABORT},
      {"ZCAN while streaming", 2, ZCAN},
      {"ZABORT after ZEOF", 3, ZABORT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zmtest::PtyLine l;
    ASSERT_TRUE(l.Ok());
    zmtest::ScriptedPeer p(l);
    const std::string src = dir.File("b.bin");
    ASSERT_TRUE(zmtest::WriteFile(src, zmtest::RandomBytes(c.stage == 2 ? 200000 : 100, 1)));
    CZmodem s(zmtest::FastTiming(2, 500));
    s.StartSend(nullptr, l.Slave(), src, 0);
    ASSERT_TRUE(p.Expect(ZRQINIT));
    if (c.stage >= 1) {
      p.HexFlags(ZRINIT, CANFC32);
      ASSERT_TRUE(p.Expect(ZFILE));
    }
    if (c.stage >= 2) {
      p.Hex(ZRPOS, 0);
      ASSERT_TRUE(p.Expect(ZDATA));
    }
    if (c.stage == 2) {
      for (int i = 0; i < 3; ++i) ASSERT_EQ(p.Subpacket(), GOTCRCG);
    }
    if (c.stage == 3) {
      ASSERT_TRUE(p.Expect(ZEOF, 400));
    }
    p.Hex(c.type);
    // Keep draining so a streaming sender is never blocked on a full line.
    while (s.Running()) zmtest::PtyLine::ReadFrom(l.Master(), 5, 5);
    s.Join();
    EXPECT_EQ(s.Result(), ZMODEM_TX_PEER_ABORT);
  }
}

TEST_F(Sender, SilentReceiverHitsTheErrorLimit) {
  Start(zmtest::RandomBytes(10, 1), zmtest::FastTiming(1, 2));
  Bytes wire;
  while (zm->Running()) {
    Bytes b = line.Receive(5, 5);
    wire.insert(wire.end(), b.begin(), b.end());
  }
  Finish();
  Bytes rest = line.Receive(100, 20);
  wire.insert(wire.end(), rest.begin(), rest.end());
  EXPECT_EQ(zm->Result(), ZMODEM_TX_ERROR_LIMIT);
  EXPECT_EQ(zm->State().totalErrors, 101);
  // Retries purge the output side, so not every ZRQINIT reaches the line.
  EXPECT_GT(zmtest::CountHexHeaders(wire, ZRQINIT), 1);
  // The abort: four hex ZCAN headers and ten CAN.
  EXPECT_EQ(zmtest::CountHexHeaders(wire, ZCAN), 4);
  EXPECT_GE(zmtest::LongestCanRun(wire), 10);
}

TEST_F(Sender, ReceiverSilentAfterZfileEndsTheSession) {
  Start(zmtest::RandomBytes(10, 1), zmtest::FastTiming(1, 3));
  ASSERT_TRUE(peer.Expect(ZRQINIT));
  peer.HexFlags(ZRINIT, 0);
  while (zm->Running()) line.Receive(5, 5);
  Finish();
  EXPECT_EQ(zm->Result(), ZMODEM_TX_ERROR_LIMIT);
}

TEST_F(Sender, MissingFileGivesMinus16AndSendsNothing) {
  zm = std::make_unique<CZmodem>(zmtest::FastTiming());
  zm->StartSend(nullptr, line.Slave(), dir.File("nope.bin"), 0);
  Finish();
  EXPECT_EQ(zm->Result(), ZMODEM_TX_FILE_OPEN);
  EXPECT_TRUE(line.Receive(100, 20).empty());
}

TEST_F(Sender, StopSendsTheCancelSequence) {
  Start(zmtest::RandomBytes(300000, 3));
  Handshake(CANFC32);
  peer.Hex(ZRPOS, 0);
  ASSERT_TRUE(peer.Expect(ZDATA));
  zm->RequestStop();
  Bytes wire;
  while (zm->Running()) {
    Bytes b = line.Receive(5, 5);
    wire.insert(wire.end(), b.begin(), b.end());
  }
  Finish();
  Bytes rest = line.Receive(100, 20);
  wire.insert(wire.end(), rest.begin(), rest.end());
  EXPECT_EQ(zm->CancelResult(), ZMODEM_STOPPED);
  EXPECT_EQ(zmtest::CountHexHeaders(wire, ZCAN), 4);
  EXPECT_GE(zmtest::LongestCanRun(wire), 10);
}

}  // namespace
