#include "link/CSerialPort.h"
#include "support/PtyLine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace pelagor;
using pelagor::test::PtyLine;

namespace {

// Tight bounds so failure paths finish in milliseconds.
LinkTiming FastTiming() {
  LinkTiming t;
  t.writeWaitMs = 200;
  t.readBlockWaitMs = 200;
  t.waitDataPollMs = 1;
  return t;
}

// The pty hands bytes to the line discipline asynchronously; wait until they are queued.
int32_t WaitQueued(CSerialPort& port, int32_t expected) {
  int32_t q = 0;
  for (int i = 0; i < 2000; ++i) {
    q = port.WaitCommData(0);
    if (q >= expected) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return q;
}

class SerialPortPty : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.Ok());
    std::string msg;
    ASSERT_TRUE(port.OpenPort(pty.Path(), &msg)) << msg;
  }
  PtyLine pty{PtyLine::kMainEndOnly};
  CSerialPort port{FastTiming()};
};

TEST_F(SerialPortPty, ZeroLengthWritesTextUpToTerminator) {
  const char text[] = {'a', 'b', 'c', 0, 'x'};
  EXPECT_EQ(port.WriteCommBlock(text, 0), 1);
  auto got = pty.Receive();
  EXPECT_EQ(std::string(got.begin(), got.end()), "abc");
}

TEST_F(SerialPortPty, ExplicitLengthWritesEveryByteIncludingZeros) {
  const unsigned char bytes[] = {1, 0, 2, 0};
  EXPECT_EQ(port.WriteCommBlock(bytes, 4), 1);
  EXPECT_EQ(pty.Receive(), (std::vector<unsigned char>{1, 0, 2, 0}));
}

TEST_F(SerialPortPty, ReadCommBlockTakesAtMostWhatIsQueued) {
  unsigned char buf[400] = {};
  EXPECT_EQ(port.ReadCommBlock(buf, 100), 0u);  // empty queue

  std::vector<unsigned char> thirty(30);
  for (size_t i = 0; i < thirty.size(); ++i) thirty[i] = static_cast<unsigned char>(i + 1);
  ASSERT_TRUE(pty.Send(thirty));
  ASSERT_EQ(WaitQueued(port, 30), 30);
  EXPECT_EQ(port.ReadCommBlock(buf, 100), 30u);
  EXPECT_EQ(std::vector<unsigned char>(buf, buf + 30), thirty);
  EXPECT_EQ(port.WaitCommData(0), 0);

  ASSERT_TRUE(pty.Send(std::vector<unsigned char>(300, 0x5A)));
  ASSERT_EQ(WaitQueued(port, 300), 300);
  EXPECT_EQ(port.ReadCommBlock(buf, 100), 100u);
  EXPECT_EQ(port.WaitCommData(0), 200);
}

TEST_F(SerialPortPty, WaitCommDataCountsOrTimesOut) {
  EXPECT_EQ(port.WaitCommData(0), 0);
  EXPECT_EQ(port.WaitCommData(1), -1);  // 20 polls of the shrunk 1 ms

  ASSERT_TRUE(pty.Send({1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(port.WaitCommData(1), 7);
  EXPECT_EQ(port.WaitCommData(0), 7);
}

TEST_F(SerialPortPty, TimedReadNeedsTheWholeCount) {
  unsigned char buf[8] = {};
  ASSERT_TRUE(pty.Send({1, 2, 3, 4, 5}));
  EXPECT_EQ(port.ReadCommBlockTimed(buf, 8, 100), 0u);

  ASSERT_TRUE(pty.Send({9, 8, 7, 6, 5, 4, 3, 2}));
  EXPECT_EQ(port.ReadCommBlockTimed(buf, 8, 1000), 8u);
  EXPECT_EQ(std::vector<unsigned char>(buf, buf + 8), (std::vector<unsigned char>{9, 8, 7, 6, 5, 4, 3, 2}));
}

TEST_F(SerialPortPty, PurgeReceiveEmptiesInputQueue) {
  ASSERT_TRUE(pty.Send({1, 2, 3}));
  ASSERT_EQ(WaitQueued(port, 3), 3);
  port.PurgeReceive();
  EXPECT_EQ(port.WaitCommData(0), 0);
}

// A purge right after a write (the announcement frame, the final "OO") must
// not take those bytes from the receiver.
TEST_F(SerialPortPty, PurgesAfterAWriteStillDeliverIt) {
  for (int round = 0; round < 20; ++round) {
    const unsigned char frame[8] = {0x56, 0x58, 2, 0, 0, 0, 0, static_cast<unsigned char>(round)};
    ASSERT_EQ(port.WriteCommBlock(frame, sizeof frame), 1);
    if (round % 2)
      port.PurgeAll();
    else
      port.PurgeTransmit();
    EXPECT_EQ(pty.Receive(1000), std::vector<unsigned char>(frame, frame + 8)) << round;
  }
}

TEST_F(SerialPortPty, SecondOpenOfExclusiveDeviceFails) {
  // The kernel lets a privileged user through an exclusive lock.
  if (::geteuid() == 0) GTEST_SKIP() << "TIOCEXCL is not enforced for root";
  CSerialPort other{FastTiming()};
  std::string msg;
  EXPECT_FALSE(other.OpenPort(pty.Path(), &msg));
  EXPECT_FALSE(other.IsOpen());
  EXPECT_EQ(msg, "Can not open " + pty.Path() + " !");
}

TEST(SerialPort, MissingDeviceGivesMessageAndNoHandle) {
  CSerialPort port;
  std::string msg;
  EXPECT_FALSE(port.OpenPort("/dev/pelagor-no-such-tty", &msg));
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(msg, "Can not open /dev/pelagor-no-such-tty !");
}

TEST(SerialPort, NoHandleDoesNothingAndReturnsZero) {
  CSerialPort port;
  unsigned char buf[8] = {};
  EXPECT_EQ(port.WriteCommBlock("abc", 0), 0);
  EXPECT_EQ(port.ReadCommBlockTimed(buf, 8, 10), 0u);
  EXPECT_EQ(port.ReadCommBlock(buf, 8), 0u);
  EXPECT_EQ(port.WaitCommData(0), 0);
  EXPECT_EQ(port.WaitCommData(5), 0);  // returns at once, no polling
  port.PurgeAll();
  port.ClearCommErrors();
  port.ClosePort();
  EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPort, AttachedHandleIsUsedAndCloseReleasesIt) {
  PtyLine pty{PtyLine::kMainEndOnly};
  ASSERT_TRUE(pty.Ok());
  CSerialPort link{FastTiming()};
  ASSERT_TRUE(link.OpenPort(pty.Path()));
  CSerialPort session{FastTiming()};
  session.AttachHandle(link.Handle());
  EXPECT_EQ(session.WriteCommBlock("zm", 0), 1);
  auto got = pty.Receive();
  EXPECT_EQ(std::string(got.begin(), got.end()), "zm");
  session.DetachHandle();
  EXPECT_FALSE(session.IsOpen());
  link.ClosePort();
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(link.WriteCommBlock("x", 0), 0);
}

}  // namespace

namespace {

TEST(SerialPortTiming, WaitTwoSecondsIsFortyPollsOfTheInjectedPause) {
  PtyLine pty{PtyLine::kMainEndOnly};
  ASSERT_TRUE(pty.Ok());
  LinkTiming t = FastTiming();
  std::vector<uint32_t> pauses;
  t.pause = [&](uint32_t ms) { pauses.push_back(ms); };
  CSerialPort port{t};
  ASSERT_TRUE(port.OpenPort(pty.Path()));
  EXPECT_EQ(port.WaitCommData(2), -1);
  EXPECT_EQ(pauses, std::vector<uint32_t>(40, 1u));
  pauses.clear();
  EXPECT_EQ(port.WaitCommData(0), 0);
  EXPECT_TRUE(pauses.empty());
}

TEST(SerialPortOwnership, OwnHandleIsClosedBorrowedOneIsNot) {
  PtyLine pty{PtyLine::kMainEndOnly};
  ASSERT_TRUE(pty.Ok());
  SerialHandle h = kNoSerialHandle;
  {
    CSerialPort link{FastTiming()};
    ASSERT_TRUE(link.OpenPort(pty.Path()));
    h = link.Handle();
    {
      CSerialPort session{FastTiming()};
      session.AttachHandle(h);
      session.ClosePort();  // a session never closes the link's device
      EXPECT_FALSE(session.IsOpen());
      session.AttachHandle(h);
    }
    EXPECT_NE(::fcntl(static_cast<int>(h), F_GETFD), -1);
    EXPECT_EQ(link.WriteCommBlock("ok", 0), 1);
    auto got = pty.Receive();
    EXPECT_EQ(std::string(got.begin(), got.end()), "ok");
    link.DetachHandle();  // not borrowed: stays open
    EXPECT_TRUE(link.IsOpen());
  }
  // The link port's own device went with it.
  EXPECT_EQ(::fcntl(static_cast<int>(h), F_GETFD), -1);
}

TEST(SerialPortOwnership, CloseDropsTheExclusiveFlagForTheNextOpen) {
  PtyLine pty{PtyLine::kMainEndOnly};
  ASSERT_TRUE(pty.Ok());
  // Someone else keeps the subordinate side open, as the line simulator does.
  int keeper = ::open(pty.Path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(keeper, 0);
  CSerialPort port{FastTiming()};
  ASSERT_TRUE(port.OpenPort(pty.Path()));
  int excl = 0;
  ASSERT_EQ(::ioctl(keeper, TIOCGEXCL, &excl), 0);
  EXPECT_EQ(excl, 1);
  port.ClosePort();
  ASSERT_EQ(::ioctl(keeper, TIOCGEXCL, &excl), 0);
  EXPECT_EQ(excl, 0);
  ::close(keeper);
}

// Closing the port, and the next open of the same line, leave what was written
// for the other side: a line simulator reads at the line's pace, long after a
// short-lived program (the CLI after a Stop) has closed the port and gone.
TEST(SerialPortOwnership, WrittenBytesOutliveTheCloseAndTheNextOpen) {
  PtyLine pty{PtyLine::kMainEndOnly};
  ASSERT_TRUE(pty.Ok());
  int keeper = ::open(pty.Path().c_str(), O_RDWR | O_NOCTTY);  // as the line simulator does
  ASSERT_GE(keeper, 0);
  // More than the reading side's line discipline holds, so most of it is still in transit.
  std::vector<unsigned char> sent(12000);
  for (size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<unsigned char>(i * 7 + i / 251);
  {
    CSerialPort port{FastTiming()};
    ASSERT_TRUE(port.OpenPort(pty.Path()));
    ASSERT_EQ(port.WriteCommBlock(sent.data(), static_cast<uint32_t>(sent.size())), 1);
    port.ClosePort();
  }
  CSerialPort next{FastTiming()};
  ASSERT_TRUE(next.OpenPort(pty.Path()));
  const std::vector<unsigned char> got = pty.ReceiveCount(sent.size(), 10000);
  EXPECT_EQ(got.size(), sent.size());
  EXPECT_TRUE(got == sent);
  ::close(keeper);
}

TEST(SerialPortWrite, StalledLineStillReportsAnOpenPort) {
  PtyLine pty{PtyLine::kMainEndOnly};  // nobody reads the main side, so the line fills up
  ASSERT_TRUE(pty.Ok());
  LinkTiming t = FastTiming();
  t.writeWaitMs = 20;
  CSerialPort port{t};
  ASSERT_TRUE(port.OpenPort(pty.Path()));
  std::vector<unsigned char> big(1 << 20, 0x41);
  EXPECT_EQ(port.WriteCommBlock(big.data(), static_cast<uint32_t>(big.size())), 1);
}

}  // namespace
