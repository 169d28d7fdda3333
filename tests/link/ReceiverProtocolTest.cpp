#include "link/ReceiverProtocol.h"
#include "support/PtyLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

using namespace pelagor;
using pelagor::test::PtyLine;

namespace {

LinkTiming FastTiming() {
  LinkTiming t;
  t.infoReplyWaitMs = 150;
  t.waitDataPollMs = 1;
  return t;
}

std::vector<unsigned char> Frame(unsigned char code) { return {0x56, 0x58, code, 0, 0, 0, 0, 0}; }

class ProtocolPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    ASSERT_TRUE(port.OpenPort(pty.Path()));
  }
  PtyLine pty{PtyLine::kMainEndOnly};
  CSerialPort port{FastTiming()};
};

TEST_F(ProtocolPty, AnnouncementFramesAreExact) {
  EXPECT_TRUE(SendUartCommand(port, UART_CMD_START_ZMODEM_DOWNLOAD));
  EXPECT_EQ(pty.Receive(), Frame(2));
  EXPECT_TRUE(SendUartCommand(port, UART_CMD_START_ZMODEM_UPLOAD));
  EXPECT_EQ(pty.Receive(), Frame(3));
}

// Plays the receiver: waits for the 8-byte query, then answers with reply.
std::vector<unsigned char> AnswerQuery(PtyLine& pty, CSerialPort& port, const std::vector<unsigned char>& reply,
                                       bool& ok, ReceiverInfoBlock& block) {
  std::vector<unsigned char> seen;
  std::thread receiver([&] {
    seen = pty.Receive(2000);
    pty.Send(reply);
  });
  ok = QueryReceiverInfo(port, block);
  receiver.join();
  return seen;
}

std::vector<unsigned char> InfoBlock() {
  std::vector<unsigned char> block(104, 0);
  block[0] = 0xEE;  // header bytes are never examined
  std::memcpy(block.data() + 8, "HD-9000", 7);
  std::memcpy(block.data() + 40, "B1.02", 5);
  std::memcpy(block.data() + 72, "M3.4.5", 6);
  return block;
}

TEST_F(ProtocolPty, FullInfoBlockIsReadAndParsed) {
  // Stale bytes queued before the query must be purged, not taken as the reply.
  ASSERT_TRUE(pty.Send({0x11, 0x22, 0x33}));
  for (int i = 0; i < 400 && port.WaitCommData(0) < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(port.WaitCommData(0), 3);

  // The whole block ends the wait at once; a roomy bound keeps a busy machine from failing it.
  LinkTiming roomy = FastTiming();
  roomy.infoReplyWaitMs = 5000;
  port.SetTiming(roomy);
  bool ok = false;
  ReceiverInfoBlock block{};
  auto seen = AnswerQuery(pty, port, InfoBlock(), ok, block);
  EXPECT_EQ(seen, Frame(1));
  ASSERT_TRUE(ok);
  EXPECT_EQ(block[0], 0xEE);
  ReceiverInfo info = ParseReceiverInfo(block);
  EXPECT_EQ(info.model, "HD-9000");
  EXPECT_EQ(info.bootVersion, "B1.02");
  EXPECT_EQ(info.mainVersion, "M3.4.5");
}

TEST_F(ProtocolPty, ReplyOneByteShortIsFailure) {
  auto full = InfoBlock();
  std::vector<unsigned char> shortReply(full.begin(), full.begin() + 103);
  bool ok = true;
  ReceiverInfoBlock block{};
  AnswerQuery(pty, port, shortReply, ok, block);
  EXPECT_FALSE(ok);
}

TEST(ReceiverInfoParse, FieldsStopAtZeroAndNeverPassTheirField) {
  ReceiverInfoBlock block{};
  block.fill(0);
  std::memset(block.data() + 8, 'M', 32);   // model fills its field, no terminator
  std::memset(block.data() + 40, 'B', 32);  // next field starts right after
  std::memcpy(block.data() + 72, "V1\0junk", 7);
  ReceiverInfo info = ParseReceiverInfo(block);
  EXPECT_EQ(info.model, std::string(32, 'M'));
  EXPECT_EQ(info.bootVersion, std::string(32, 'B'));
  EXPECT_EQ(info.mainVersion, "V1");
}

TEST(ReceiverProtocol, NoHandleQueryFails) {
  CSerialPort port{FastTiming()};
  ReceiverInfoBlock block{};
  block.fill(0x7F);
  EXPECT_FALSE(QueryReceiverInfo(port, block));
  EXPECT_EQ(block[50], 0);  // cleared before the exchange
  EXPECT_EQ(MakeUartFrame(UART_CMD_GET_INFO), (UartFrame{0x56, 0x58, 0x01, 0, 0, 0, 0, 0}));
}

}  // namespace
