// A line that no longer takes bytes, or whose far end is gone, is reported as failed:
// the ZMODEM engine ends its session on it instead of counting unsent bytes as sent.
#include "link/CSerialPort.h"
#include "support/PtyLine.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace pelagor;
using pelagor::test::PtyLine;

namespace {

LinkTiming ShortWrites() {
  LinkTiming t;
  t.writeWaitMs = 20;
  t.readBlockWaitMs = 200;
  t.waitDataPollMs = 1;
  return t;
}

TEST(SerialLineFailure, OnlyAFailedOrVanishedLineIsReported) {
  enum How { kQuiet, kStalledWrite, kFarEndClosed };
  struct Case {
    const char* name;
    How how;
    bool failed;
  };
  const Case cases[] = {
      {"quiet line, writes taken", kQuiet, false},
      {"nobody reads: the write cannot complete", kStalledWrite, true},
      {"far end closed", kFarEndClosed, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto pty = std::make_unique<PtyLine>(PtyLine::kMainEndOnly);
    ASSERT_TRUE(pty->Ok());
    CSerialPort port{ShortWrites()};
    ASSERT_TRUE(port.OpenPort(pty->Path()));
    if (c.how == kQuiet) {
      EXPECT_EQ(port.WriteCommBlock("hello", 0), 1);
      EXPECT_EQ(pty->Receive(), (std::vector<unsigned char>{'h', 'e', 'l', 'l', 'o'}));
    }
    if (c.how == kStalledWrite) {
      std::vector<unsigned char> big(1 << 20, 0x41);
      // Still an open port, but the bytes did not all leave.
      EXPECT_EQ(port.WriteCommBlock(big.data(), static_cast<uint32_t>(big.size())), 1);
    }
    if (c.how == kFarEndClosed) pty.reset();
    EXPECT_EQ(port.LineFailed(), c.failed);
    port.ClearLineFailure();
    // A stalled line that is still there is fine again once cleared.
    if (c.how == kStalledWrite) {
      EXPECT_FALSE(port.LineFailed());
    }
  }
  CSerialPort closed;
  EXPECT_TRUE(closed.LineFailed());
}

}  // namespace
