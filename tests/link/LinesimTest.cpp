// The line simulator as a built binary: two pseudo-terminals joined at a baud rate,
// with the noise options changing exactly what they say.
#include "link/CSerialPort.h"
#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace pelagor;
using pelagor::test::ChildProcess;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Pattern(size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& c : b) c = static_cast<unsigned char>(rng());
  return b;
}

class Line {
 public:
  explicit Line(std::vector<std::string> options) {
    options.insert(options.begin(), PELAGOR_LINESIM);
    m_sim = std::make_unique<ChildProcess>(options);
    auto a = m_sim->WaitFor("A ");
    auto b = m_sim->WaitFor("B ");
    if (a && b && m_a.OpenPort(*a) && m_b.OpenPort(*b)) m_ok = true;
  }
  bool Ok() const { return m_ok; }
  CSerialPort& End(char which) { return which == 'A' ? m_a : m_b; }

  // Sends bytes in at one end and collects the other end's output until
  // expected bytes came, or the line stayed quiet for idleMs after the last
  // byte went in (a writer held up by a busy machine is no quiet line).
  Bytes Carry(char from, const Bytes& bytes, size_t expected, int idleMs = 1500) {
    CSerialPort& in = End(from);
    CSerialPort& out = End(from == 'A' ? 'B' : 'A');
    std::atomic<bool> written{false};
    std::thread writer([&] {
      for (size_t at = 0; at < bytes.size(); at += 512) {
        const size_t n = std::min<size_t>(512, bytes.size() - at);
        // The port is open; what arrives at the far end is what the test checks.
        static_cast<void>(in.WriteCommBlock(bytes.data() + at, static_cast<uint32_t>(n)));
      }
      written = true;
    });
    Bytes got;
    auto quietSince = std::chrono::steady_clock::now();
    while (got.size() < expected) {
      unsigned char buf[1024];
      const uint32_t n = out.ReadCommBlock(buf, sizeof buf);
      const auto now = std::chrono::steady_clock::now();
      if (n > 0) {
        got.insert(got.end(), buf, buf + n);
        quietSince = now;
        continue;
      }
      if (!written)
        quietSince = now;
      else if (now - quietSince > std::chrono::milliseconds(idleMs))
        break;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    writer.join();
    return got;
  }

 private:
  std::unique_ptr<ChildProcess> m_sim;
  CSerialPort m_a, m_b;
  bool m_ok = false;
};

int BitsDifferent(unsigned char x, unsigned char y) { return __builtin_popcount(static_cast<unsigned>(x ^ y)); }

TEST(Linesim, BytesPassIntactBothWaysAtTheBaudRate) {
  for (const char* baud : {"0", "115200", "57600"}) {
    Line line({"--baud", baud});
    ASSERT_TRUE(line.Ok());
    const Bytes ab = Pattern(3000, 1), ba = Pattern(2000, 2);
    EXPECT_TRUE(line.Carry('A', ab, ab.size()) == ab) << "A to B at " << baud;
    EXPECT_TRUE(line.Carry('B', ba, ba.size()) == ba) << "B to A at " << baud;
  }
}

// The line cannot beat its rate: 10 bits a byte, whatever the machine's speed.
TEST(Linesim, PaceNeverExceedsTheBaudRate) {
  Line line({"--baud", "19200"});
  ASSERT_TRUE(line.Ok());
  const Bytes bytes = Pattern(960, 3);  // 0.5 s at 1920 bytes a second
  const auto start = std::chrono::steady_clock::now();
  const Bytes got = line.Carry('A', bytes, bytes.size());
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(got == bytes);
  // Less a few bytes of credit an idle line may hold.
  EXPECT_GE(took, std::chrono::milliseconds(450));
}

TEST(Linesim, FlippedBitsChangeBytesOneBitEachKeepingLength) {
  Line line({"--seed", "7", "--flip-rate", "0.05"});
  ASSERT_TRUE(line.Ok());
  const Bytes sent = Pattern(4000, 4);
  const Bytes got = line.Carry('A', sent, sent.size());
  ASSERT_EQ(got.size(), sent.size());
  size_t changed = 0;
  for (size_t i = 0; i < sent.size(); ++i) {
    const int bits = BitsDifferent(sent[i], got[i]);
    EXPECT_LE(bits, 1) << "byte " << i;
    changed += bits != 0;
  }
  // About 200 expected at this rate; far from none and far from all.
  EXPECT_GT(changed, 100u);
  EXPECT_LT(changed, 400u);
}

TEST(Linesim, DroppedBytesLeaveTheRestInOrder) {
  Line line({"--seed", "11", "--drop-rate", "0.1"});
  ASSERT_TRUE(line.Ok());
  const Bytes sent = Pattern(4000, 5);
  const Bytes got = line.Carry('A', sent, sent.size(), 3000);
  EXPECT_GT(got.size(), 3400u);
  EXPECT_LT(got.size(), 3800u);
  // What arrives is the sent stream with bytes left out, nothing changed.
  size_t j = 0;
  for (size_t i = 0; i < sent.size() && j < got.size(); ++i)
    if (sent[i] == got[j]) ++j;
  EXPECT_EQ(j, got.size());
}

TEST(Linesim, NoiseOnOneDirectionLeavesTheOtherClean) {
  Line line({"--seed", "3", "--flip-rate", "0.2", "--noise", "ab"});
  ASSERT_TRUE(line.Ok());
  const Bytes sent = Pattern(2000, 6);
  EXPECT_TRUE(line.Carry('B', sent, sent.size()) == sent);
  EXPECT_FALSE(line.Carry('A', sent, sent.size()) == sent);
}

TEST(Linesim, CorruptHitsExactlyTheGivenSpan) {
  Line line({"--seed", "9", "--corrupt", "100:10"});
  ASSERT_TRUE(line.Ok());
  const Bytes sent = Pattern(1000, 7);
  const Bytes got = line.Carry('A', sent, sent.size());
  ASSERT_EQ(got.size(), sent.size());
  for (size_t i = 0; i < sent.size(); ++i)
    EXPECT_EQ(BitsDifferent(sent[i], got[i]), (i >= 100 && i < 110) ? 1 : 0) << "byte " << i;
  // The span counts from the start of the A-to-B stream only.
  EXPECT_TRUE(line.Carry('B', sent, sent.size()) == sent);
}

}  // namespace
