// Framing: CRCs, escaping, hex and binary headers, subpackets and the timed byte read.
#include "Zmodem32/CZmodem.h"
#include "Zmodem32/ZmodemCrc.h"
#include "Zmodem32/ZmodemProtocol.h"
#include "zmodem/ZmodemTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

using namespace pelagor;
using zmtest::Bytes;

namespace {

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(ZmodemCrc, CheckValuesAndResidues) {
  const std::string check = "123456789";
  const auto* p = reinterpret_cast<const uint8_t*>(check.data());
  EXPECT_EQ(Crc16Of(p, check.size()), 0x31C3);
  EXPECT_EQ(Crc32Of(p, check.size()), 0xCBF43926u);

  // A receiver feeding the CRC bytes as they travel ends on the fixed values.
  uint16_t c16 = 0;
  for (char ch : check) c16 = Crc16Update(c16, static_cast<uint8_t>(ch));
  c16 = Crc16Update(Crc16Update(c16, 0x31), 0xC3);
  EXPECT_EQ(c16, 0);
  uint32_t c32 = 0xFFFFFFFFu;
  for (char ch : check) c32 = Crc32Update(c32, static_cast<uint8_t>(ch));
  const uint32_t sent = 0xCBF43926u;
  for (int i = 0; i < 4; ++i) c32 = Crc32Update(c32, static_cast<uint8_t>(sent >> (8 * i)));
  EXPECT_EQ(c32, kCrc32Residue);
}

// One port on the slave end of a raw pty; the test reads and writes the master end.
class Framing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(line.Ok());
    zm.AttachHandle(line.Slave());
    peer.AttachHandle(line.Master());
  }
  void TearDown() override {
    zm.DetachHandle();
    peer.DetachHandle();
  }
  Bytes Written() { return line.Receive(500, 30); }

  zmtest::PtyLine line;
  CZmodem zm{zmtest::FastTiming()};
  CZmodem peer{zmtest::FastTiming()};  // the far end, built from the same framing
};

struct HexVector {
  int type;
  uint8_t hdr[4];
  const char* body;  // after "**" ZDLE 'B'
  bool xon;
};

TEST_F(Framing, HexHeadersMatchTheWorkedVectors) {
  const HexVector cases[] = {
      {ZRQINIT, {0, 0, 0, 0}, "00000000000000", true}, {ZRINIT, {0, 0, 0, 3}, "01000000039a32", true},
      {ZCAN, {0, 0, 0, 0}, "1000000000045a", true},    {ZABORT, {0, 0, 0, 0}, "070000000067d4", true},
      {ZFIN, {0, 0, 0, 0}, "0800000000022d", false},   {ZACK, {0, 4, 0, 0}, nullptr, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    zm.SendHexHeader(4, c.type, c.hdr);
    Bytes got = Written();
    std::string expect = c.type == ZRQINIT ? "rz\r" : "";
    expect +=
        "**\x18"
        "B";
    if (c.body) {
      expect += c.body;
    } else {
      // ZACK: check only the frame shape; the CRC is verified by the reader tests.
      ASSERT_GE(got.size(), expect.size() + 14 + 2);
      expect.append(got.begin() + long(expect.size()), got.begin() + long(expect.size()) + 14);
    }
    expect += "\r\x8a";
    if (c.xon) expect += "\x11";
    EXPECT_EQ(got, B(expect));
  }
}

TEST_F(Framing, VariableHexHeaderCarriesItsLength) {
  zm.MutableState().useVarHeaders = 1;
  const uint8_t init[4] = {0, 0, 0, 3};
  zm.SendHexHeader(4, ZRINIT, init);
  Bytes got = Written();
  ASSERT_GE(got.size(), 8u);
  EXPECT_EQ(std::string(got.begin(), got.begin() + 8),
            "**\x18"
            "b0401");
  // The reader accepts it and gets the same bytes.
  uint8_t hdr[4] = {9, 9, 9, 9};
  ASSERT_TRUE(line.Send(got));
  EXPECT_EQ(zm.ReceiveHeader(hdr), ZRINIT);
  EXPECT_EQ(Bytes(hdr, hdr + 4), (Bytes{0, 0, 0, 3}));
}

struct EscapeCase {
  const char* name;
  int escapeControls;
  Bytes in;
  Bytes out;
};

TEST_F(Framing, EscapeRules) {
  const EscapeCase cases[] = {
      {"CR after @ is escaped", 0, {0x40, 0x0D}, {0x40, 0x18, 0x4D}},
      {"CR with bit 7 after @ with bit 7", 0, {0xC0, 0x8D}, {0xC0, 0x18, 0xCD}},
      {"CR at frame start is plain", 0, {0x0D}, {0x0D}},
      {"CR after another byte is plain", 0, {0x41, 0x0D}, {0x41, 0x0D}},
      {"ZDLE always escaped", 0, {0x18}, {0x18, 0x58}},
      {"flow control always escaped",
       0,
       {0x10, 0x11, 0x13, 0x90, 0x91, 0x93},
       {0x18, 0x50, 0x18, 0x51, 0x18, 0x53, 0x18, 0xD0, 0x18, 0xD1, 0x18, 0xD3}},
      {"0x98 plain by default", 0, {0x98}, {0x98}},
      {"0x98 escaped with TESCCTL", 1, {0x98}, {0x18, 0xD8}},
      {"other controls plain by default", 0, {0x00, 0x01, 0x1F}, {0x00, 0x01, 0x1F}},
      {"other controls escaped with TESCCTL", 1, {0x01, 0x0D}, {0x18, 0x41, 0x18, 0x4D}},
      {"printable bytes untouched", 1, {0x20, 0x7F, 0xA0, 0xFF}, {0x20, 0x7F, 0xA0, 0xFF}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zm.MutableState().escapeControls = c.escapeControls;
    zm.ClearTx();
    for (uint8_t b : c.in) zm.PutEscaped(b);
    zm.FlushTx();
    EXPECT_EQ(Written(), c.out);
  }
}

struct ReadCase {
  const char* name;
  int escapeControls;
  Bytes in;
  std::vector<int> results;
};

TEST_F(Framing, ReadEscapedDecodesEverySpecialCode) {
  const ReadCase cases[] = {
      {"ZDLE and four CAN", 0, {0x18, 0x18, 0x18, 0x18, 0x18}, {GOTCAN}},
      {"ZRUB0", 0, {0x18, 'l'}, {0x7F}},
      {"ZRUB1", 0, {0x18, 'm'}, {0xFF}},
      {"escaped ZDLE", 0, {0x18, 'X'}, {0x18}},
      {"terminators", 0, {0x18, 'h', 0x18, 'i', 0x18, 'j', 0x18, 'k'}, {GOTCRCE, GOTCRCG, GOTCRCQ, GOTCRCW}},
      {"flow control skipped", 0, {0x11, 0x13, 0x91, 0x93, 0x41}, {0x41}},
      {"flow control after ZDLE skipped", 0, {0x18, 0x11, 0x4D}, {0x0D}},
      {"two CAN then a letter", 0, {0x18, 0x18, 'X'}, {0x18}},
      {"invalid escape", 0, {0x18, 0x7A}, {-1}},
      {"plain control passes", 0, {0x01}, {0x01}},
      {"plain control ignored with TESCCTL", 1, {0x01, 0x42}, {0x42}},
      {"silence", 0, {}, {-1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zm.PurgeReceive();
    zm.MutableState().escapeControls = c.escapeControls;
    ASSERT_TRUE(line.Send(c.in));
    for (int expect : c.results) EXPECT_EQ(zm.ReadEscaped(), expect);
  }
}

TEST_F(Framing, ReadHexByteAndReadStripped) {
  ASSERT_TRUE(line.Send(B("3fA5")));
  EXPECT_EQ(zm.ReadHexByte(), 0x3F);
  // Upper case is invalid: 0 at once, the next character is still there.
  EXPECT_EQ(zm.ReadHexByte(), 0);
  EXPECT_EQ(zm.ReadStripped(), '5');
  ASSERT_TRUE(line.Send(Bytes{0x11, 0x13, 0xC1, 0x8D}));
  EXPECT_EQ(zm.ReadStripped(), 0x41);
  EXPECT_EQ(zm.ReadStripped(), 0x0D);
  EXPECT_EQ(zm.ReadHexByte(), -1);
}

TEST_F(Framing, ReceiveHeaderAcceptsEveryFormAndRefusesBadOnes) {
  // Peer frames go master -> slave; the port under test reads them.
  const uint8_t pos[4] = {0x34, 0x12, 0, 0};
  auto hex = [&] { peer.SendHexHeader(4, ZRPOS, pos); };
  auto bin16 = [&] {
    peer.MutableState().txCrc32 = 0;
    peer.SendBinaryHeader(4, ZDATA, pos);
  };
  auto bin32 = [&] {
    peer.MutableState().txCrc32 = 1;
    peer.SendBinaryHeader(4, ZDATA, pos);
  };
  uint8_t hdr[4];

  hex();
  EXPECT_EQ(zm.ReceiveHeader(hdr), ZRPOS);
  EXPECT_EQ(CZmodem::LoadPos(hdr), 0x1234);

  ASSERT_TRUE(line.Send(B("noise*x*")));  // garbage and a false start are dropped
  bin16();
  EXPECT_EQ(zm.ReceiveHeader(hdr), ZDATA);
  EXPECT_FALSE(zm.LastHeaderCrc32());
  EXPECT_EQ(CZmodem::LoadPos(hdr), 0x1234);

  bin32();
  EXPECT_EQ(zm.ReceiveHeader(hdr), ZDATA);
  EXPECT_TRUE(zm.LastHeaderCrc32());

  // 'D' is read as a CRC-16 binary header.
  ASSERT_TRUE(
      line.Send(B("*\x18"
                  "D")));
  {
    const uint8_t body[5] = {ZACK, 1, 2, 3, 4};
    const uint16_t crc = Crc16Of(body, 5);
    Bytes f(body, body + 5);
    f.push_back(uint8_t(crc >> 8));
    f.push_back(uint8_t(crc));
    ASSERT_TRUE(line.Send(f));
  }
  EXPECT_EQ(zm.ReceiveHeader(hdr), ZACK);
  EXPECT_EQ(Bytes(hdr, hdr + 4), (Bytes{1, 2, 3, 4}));

  // A damaged hex header: CRC error.
  ASSERT_TRUE(
      line.Send(B("**\x18"
                  "B0900000000ffff\r\n")));
  EXPECT_EQ(zm.ReceiveHeader(hdr), ZHDR_BADCRC);

  // Unknown frame indicator.
  ASSERT_TRUE(line.Send(B("**\x18Z")));
  EXPECT_EQ(zm.ReceiveHeader(hdr), -1);
  zm.PurgeReceive();

  // Silence.
  EXPECT_EQ(zm.ReceiveHeader(hdr), -1);
}

TEST_F(Framing, ReceiveHeaderSkipsRefusedFormsAndKeepsFourBytes) {
  uint8_t hdr[4];
  // With variable headers on, a 'C' frame is refused and the hunt goes on.
  zm.MutableState().useVarHeaders = 1;
  peer.MutableState().txCrc32 = 1;
  const uint8_t pos[4] = {1, 0, 0, 0};
  peer.SendBinaryHeader(4, ZDATA, pos);
  peer.SendHexHeader(4, ZACK, pos);
  EXPECT_EQ(zm.ReceiveHeader(hdr), ZACK);
  zm.MutableState().useVarHeaders = 0;

  // A 'b' header of 17 bytes is skipped.
  ASSERT_TRUE(
      line.Send(B("**\x18"
                  "b1103")));
  peer.SendHexHeader(4, ZFIN, pos);
  EXPECT_EQ(zm.ReceiveHeader(hdr), ZFIN);

  // A 'b' header of six bytes: the last two are read and dropped.
  {
    const uint8_t body[7] = {ZRINIT, 5, 6, 7, 8, 9, 10};
    uint16_t crc = Crc16Of(body, 7);
    std::string f =
        "**\x18"
        "b06";
    char hexd[3];
    for (uint8_t b : body) {
      std::snprintf(hexd, sizeof hexd, "%02x", b);
      f += hexd;
    }
    std::snprintf(hexd, sizeof hexd, "%02x", crc >> 8);
    f += hexd;
    std::snprintf(hexd, sizeof hexd, "%02x", crc & 0xFF);
    f += hexd;
    f += "\r\n";
    ASSERT_TRUE(line.Send(f));
  }
  uint8_t guard[8] = {0, 0, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
  EXPECT_EQ(zm.ReceiveHeader(guard), ZRINIT);
  EXPECT_EQ(Bytes(guard, guard + 8), (Bytes{5, 6, 7, 8, 0xEE, 0xEE, 0xEE, 0xEE}));
}

struct SubpacketCase {
  const char* name;
  int crc32;
  int escapeControls;
  Bytes data;
  int terminator;
};

TEST_F(Framing, SubpacketsRoundTrip) {
  const SubpacketCase cases[] = {
      {"CRC-16 random", 0, 0, zmtest::RandomBytes(1024, 1), ZCRCG},
      {"CRC-32 random", 1, 0, zmtest::RandomBytes(1024, 2), ZCRCE},
      {"CRC-16 controls", 0, 0, zmtest::ControlHeavyBytes(1024), ZCRCQ},
      {"CRC-32 controls escaped", 1, 1, zmtest::ControlHeavyBytes(1024), ZCRCW},
      // Every byte escaped: the frame is over 2048 bytes and must still go out whole.
      {"CRC-32 all ZDLE", 1, 1, Bytes(1024, 0x18), ZCRCG},
      {"CRC-16 all controls escaped", 0, 1, Bytes(1024, 0x01), ZCRCE},
      {"empty", 1, 0, {}, ZCRCE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    peer.MutableState().txCrc32 = c.crc32;
    peer.MutableState().escapeControls = c.escapeControls;
    const uint8_t pos[4] = {0, 0, 0, 0};
    peer.SendBinaryHeader(4, ZDATA, pos);
    peer.SendSubpacket(c.data.data(), int(c.data.size()), c.terminator);
    uint8_t hdr[4];
    ASSERT_EQ(zm.ReceiveHeader(hdr), ZDATA);
    Bytes buf(1024);
    EXPECT_EQ(zm.ReceiveSubpacket(buf.data(), 1024), c.terminator | GOTOR);
    ASSERT_EQ(zm.State().rxCount, int(c.data.size()));
    buf.resize(c.data.size());
    EXPECT_EQ(buf, c.data);
  }
}

TEST_F(Framing, SubpacketLimitsAndFailures) {
  const uint8_t pos[4] = {0, 0, 0, 0};
  uint8_t hdr[4];
  Bytes buf(64);
  const Bytes data = zmtest::RandomBytes(32, 7);
  for (int crc32 = 0; crc32 < 2; ++crc32) {
    SCOPED_TRACE(crc32);
    peer.MutableState().txCrc32 = crc32;
    peer.SendBinaryHeader(4, ZDATA, pos);
    ASSERT_EQ(zm.ReceiveHeader(hdr), ZDATA);

    // Exactly the maximum is accepted; one byte more is too long.
    peer.SendSubpacket(data.data(), 32, ZCRCG);
    EXPECT_EQ(zm.ReceiveSubpacket(buf.data(), 32), GOTCRCG);
    peer.SendSubpacket(data.data(), 32, ZCRCG);
    EXPECT_EQ(zm.ReceiveSubpacket(buf.data(), 31), ZSUB_BAD);
    zm.PurgeReceive();

    // A flipped data bit fails the CRC.
    peer.SendSubpacket(data.data(), 32, ZCRCG);
    Bytes wire = zmtest::PtyLine::ReadFrom(line.Slave(), 500, 30);
    wire[5] ^= 0x04;
    ASSERT_TRUE(zmtest::PtyLine::WriteAll(line.Slave(), wire.data(), wire.size()));
    // The bytes written to the slave come back out of the master; loop them to the port.
    Bytes looped = zmtest::PtyLine::ReadFrom(line.Master(), 500, 30);
    ASSERT_TRUE(line.Send(looped));
    EXPECT_EQ(zm.ReceiveSubpacket(buf.data(), 64), crc32 ? ZSUB_BADCRC32 : ZSUB_BAD);
    EXPECT_EQ(zm.State().rxCount, 0);

    // The peer's cancel inside the data, and silence.
    ASSERT_TRUE(line.Send(Bytes{0x41, 0x18, 0x18, 0x18, 0x18, 0x18}));
    EXPECT_EQ(zm.ReceiveSubpacket(buf.data(), 64), ZSUB_CANCELLED);
    ASSERT_TRUE(line.Send(Bytes{0x41, 0x42}));
    EXPECT_EQ(zm.ReceiveSubpacket(buf.data(), 64), ZSUB_TIMEOUT);
  }
}

TEST(ZmodemByteRead, TimesOutAfterThePollCount) {
  zmtest::PtyLine line;
  ASSERT_TRUE(line.Ok());
  // Roomy enough for a byte to cross the pty on a loaded machine.
  CZmodem zm(zmtest::FastTiming(2, 50));
  zm.AttachHandle(line.Slave());
  EXPECT_EQ(zm.ReadByte(), -1);
  ASSERT_TRUE(line.Send(Bytes{0xAB}));
  EXPECT_EQ(zm.ReadByte(), 0xAB);
  zm.DetachHandle();
}

TEST(ZmodemByteRead, StopEndsTheFourteenSecondWait) {
  zmtest::PtyLine line;
  ASSERT_TRUE(line.Ok());
  CZmodem zm;  // the system's 14-second wait
  zm.AttachHandle(line.Slave());
  using Clock = std::chrono::steady_clock;

  // The bounds are half the 14 s wait: far enough from it to show the stop ended the
  // wait, roomy enough for a loaded machine that schedules the threads late.
  const auto farFromTheWait = std::chrono::seconds(7);

  // Already stopped: -1 without waiting.
  zm.RequestStop();
  auto t0 = Clock::now();
  EXPECT_EQ(zm.ReadByte(), -1);
  EXPECT_LT(Clock::now() - t0, farFromTheWait);

  // Stop raised during the wait: seen within one poll.
  zm.ClearStop();
  t0 = Clock::now();
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    zm.RequestStop();
  });
  EXPECT_EQ(zm.ReadByte(), -1);
  stopper.join();
  EXPECT_LT(Clock::now() - t0, farFromTheWait);
  zm.DetachHandle();
}

}  // namespace
