// Session host and entry functions: our sender against our receiver, progress, stop,
// keyboard close, missing port and the error limits, with a recording TransferUi.
#include "Zmodem32/CTransferDlg.h"
#include "Zmodem32/CZmodem.h"
#include "Zmodem32/ZmodemProtocol.h"
#include "Zmodem32/ZmodemResult.h"
#include "Zmodem32/ZmodemTransfer.h"
#include "zmodem/ZmodemScriptedPeer.h"
#include "zmodem/ZmodemTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <string>

using namespace pelagor;
using zmtest::Bytes;

namespace {

// A UI that knows its dialog, so it can press Stop at a chosen progress.
class StoppingUi : public zmtest::FakeTransferUi {
 public:
  explicit StoppingUi(int atPercent) {
    stopAtPercent = atPercent;
    onStop = [this] {
      if (CTransferDlg* d = dlg.load()) d->Stop();
    };
  }
  void RunModal(CTransferDlg& d) override {
    dlg = &d;
    TransferUi::RunModal(d);
  }
  std::atomic<CTransferDlg*> dlg{nullptr};
};

// A modal loop that ends at once, as Esc or the close box would end it.
class ClosedAtOnceUi : public zmtest::FakeTransferUi {
 public:
  void RunModal(CTransferDlg&) override {}
};

struct ProgressCase {
  int32_t pos, total;
  const char* text;
  int percent;
};

TEST(ZmodemProgress, TextAndBar) {
  const ProgressCase cases[] = {
      {0, 1024, "", 0},
      {512, 1024, "Transferring... : 512 / 1024 bytes (050%)", 50},
      {1024, 1024, "Transferring... : 1024 / 1024 bytes (100%)", 100},
      {5, 0, "Transferring... : 5 / 0 bytes (000%)", 0},
      {100000000, 200000000, "Transferring... : 100000000 / 200000000 bytes (050%)", 50},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pos);
    zmtest::FakeTransferUi ui;
    CZmodem zm;
    zm.SetUi(&ui);
    zm.MutableState().announcedSize = c.total;  // a receiving session's total
    zm.ShowProgress(c.pos);
    ASSERT_EQ(ui.statusLines.size(), 1u);
    EXPECT_EQ(ui.statusLines[0], c.text);
    EXPECT_EQ(ui.positions, std::vector<int>{c.percent});
  }
}

struct Payload {
  const char* name;
  Bytes bytes;
};

TEST(ZmodemSession, OurSenderToOurReceiver) {
  const Payload payloads[] = {
      {"empty", {}},
      {"one", {0x8D}},
      {"block", zmtest::RandomBytes(1024, 31)},
      {"two blocks", zmtest::RandomBytes(2048, 32)},
      {"controls", zmtest::ControlHeavyBytes(5001)},
      {"large", zmtest::RandomBytes(700 * 1024 + 77, 33)},
  };
  for (const auto& p : payloads) {
    SCOPED_TRACE(p.name);
    zmtest::TempDir dir;
    zmtest::PtyLine line;
    ASSERT_TRUE(line.Ok());
    const std::string src = dir.File("w.bin");
    ASSERT_TRUE(zmtest::WriteFile(src, p.bytes));
    zmtest::FakeTransferUi sendUi, recvUi;
    ZmodemResult sent, got;
    auto rx = std::async(std::launch::async,
                         [&] { return ZmodemReceiveFile(line.Master(), "", 16, &got, &recvUi, zmtest::FastTiming()); });
    const int32_t sendCode = ZmodemSendFile(line.Slave(), src, 0, &sent, &sendUi, zmtest::FastTiming());
    const int32_t recvCode = rx.get();
    ASSERT_EQ(sendCode, ZMODEM_OK);
    ASSERT_EQ(recvCode, ZMODEM_OK);
    EXPECT_EQ(got.data, p.bytes);
    EXPECT_EQ(got.dataLength, int32_t(p.bytes.size()));
    EXPECT_EQ(got.receivedNames, "w.bin");
    EXPECT_EQ(sent.bytesTransferred, int32_t(p.bytes.size()));
    EXPECT_EQ(sent.totalErrors, 0);
    EXPECT_TRUE(sent.data.empty());
    EXPECT_GE(sent.endTime, sent.startTime);

    EXPECT_EQ(sendUi.caption, "Downloading to STB...");
    EXPECT_EQ(sendUi.fileName, src);
    EXPECT_EQ(recvUi.caption, "Uploading to PC...");
    EXPECT_EQ(recvUi.label, "Status");
    EXPECT_EQ(recvUi.fileName, "CHANNEL UPLOADING...");
    ASSERT_FALSE(recvUi.statusLines.empty());
    EXPECT_EQ(recvUi.statusLines.front(), "Please Wait a while.");
    EXPECT_EQ(sendUi.rangeHigh, 100);
    EXPECT_EQ(recvUi.rangeHigh, 100);
    EXPECT_EQ(sendUi.endCalls.load(), 1);
    EXPECT_EQ(recvUi.endCalls.load(), 1);
    // Progress only moves forward and ends full (an empty file has nothing to show).
    for (auto* ui : {&sendUi, &recvUi}) {
      ASSERT_FALSE(ui->positions.empty());
      for (size_t i = 1; i < ui->positions.size(); ++i) EXPECT_LE(ui->positions[i - 1], ui->positions[i]);
      if (!p.bytes.empty()) {
        EXPECT_EQ(ui->positions.back(), 100);
      }
    }
  }
}

TEST(ZmodemSession, StopWhileSendingIsACancel) {
  zmtest::TempDir dir;
  zmtest::PtyLine line;
  ASSERT_TRUE(line.Ok());
  const Bytes content = zmtest::RandomBytes(700 * 1024, 41);
  const std::string src = dir.File("s.bin");
  ASSERT_TRUE(zmtest::WriteFile(src, content));
  StoppingUi ui(10);
  ZmodemResult sent, got;
  auto rx = std::async(std::launch::async,
                       [&] { return ZmodemReceiveFile(line.Master(), "", 16, &got, nullptr, zmtest::FastTiming()); });
  EXPECT_EQ(ZmodemSendFile(line.Slave(), src, 0, &sent, &ui, zmtest::FastTiming()), ZMODEM_CANCELLED);
  EXPECT_EQ(sent.result, ZMODEM_CANCELLED);
  // Our receiver meets the cancel sequence inside a subpacket (the sender cancelled) or
  // between frames (ZCAN); either way it fails and hands back nothing.
  const int32_t rxCode = rx.get();
  EXPECT_TRUE(rxCode == ZMODEM_CANCELLED || rxCode == ZMODEM_RX_FAILED) << rxCode;
  EXPECT_TRUE(got.data.empty());
  EXPECT_EQ(got.dataLength, 0);
  EXPECT_LT(ui.positions.back(), 100);
}

TEST(ZmodemSession, StopWhileReceivingIsACancelWithoutData) {
  zmtest::TempDir dir;
  zmtest::PtyLine line;
  ASSERT_TRUE(line.Ok());
  const std::string src = dir.File("r.bin");
  ASSERT_TRUE(zmtest::WriteFile(src, zmtest::RandomBytes(700 * 1024, 42)));
  StoppingUi ui(10);
  ZmodemResult sent, got;
  auto tx = std::async(std::launch::async,
                       [&] { return ZmodemSendFile(line.Slave(), src, 0, &sent, nullptr, zmtest::FastTiming()); });
  EXPECT_EQ(ZmodemReceiveFile(line.Master(), "", 16, &got, &ui, zmtest::FastTiming()), ZMODEM_CANCELLED);
  EXPECT_TRUE(got.data.empty());
  EXPECT_EQ(got.dataLength, 0);
  // Our sender sees the ZABORT header of the receiver's abort sequence.
  EXPECT_EQ(tx.get(), ZMODEM_TX_PEER_ABORT);
}

TEST(ZmodemSession, ClosingTheDialogEarlyStopsAndCancels) {
  for (bool sending : {false, true}) {
    SCOPED_TRACE(sending);
    zmtest::TempDir dir;
    zmtest::PtyLine line;
    ASSERT_TRUE(line.Ok());
    const std::string src = dir.File("c.bin");
    ASSERT_TRUE(zmtest::WriteFile(src, Bytes(10, 1)));
    ClosedAtOnceUi ui;
    ZmodemResult r;
    // Nobody answers: only the stop can end the session quickly.
    const LinkTiming slow = zmtest::FastTiming(5, 2000);
    const int32_t code = sending ? ZmodemSendFile(line.Slave(), src, 0, &r, &ui, slow)
                                 : ZmodemReceiveFile(line.Slave(), "", 16, &r, &ui, slow);
    EXPECT_EQ(code, ZMODEM_CANCELLED);
    EXPECT_TRUE(r.data.empty());
    const Bytes wire = line.Receive(200, 30);
    EXPECT_EQ(zmtest::CountHexHeaders(wire, sending ? ZCAN : ZABORT), sending ? 4 : 1);
    EXPECT_GE(zmtest::LongestCanRun(wire), 10);
  }
}

TEST(ZmodemSession, WithoutAPortNothingRunsAndNothingSucceeds) {
  zmtest::FakeTransferUi ui;
  ZmodemResult r;
  EXPECT_EQ(ZmodemSendFile(kNoSerialHandle, "x.bin", 0, &r, &ui), ZMODEM_NO_PORT);
  EXPECT_EQ(ZmodemReceiveFile(kNoSerialHandle, "", 16, &r, &ui), ZMODEM_NO_PORT);
  EXPECT_EQ(ui.endCalls.load(), 0);
  EXPECT_TRUE(r.data.empty());

  // A dialog of another mode starts nothing either.
  zmtest::PtyLine line;
  CTransferDlg dlg(&ui);
  dlg.port = line.Slave();
  dlg.mode = 7;
  EXPECT_EQ(dlg.DoModal(), CTransferDlg::kIdOk);
  EXPECT_FALSE(dlg.Session().Started());
}

TEST(ZmodemSession, SilentPeersEndAtTheErrorLimits) {
  zmtest::TempDir dir;
  const std::string src = dir.File("q.bin");
  ASSERT_TRUE(zmtest::WriteFile(src, Bytes(10, 1)));
  const LinkTiming fast = zmtest::FastTiming(1, 2);
  {
    zmtest::PtyLine line;
    ZmodemResult r;
    auto drain = std::async(std::launch::async, [&] { line.Receive(3000, 300); });
    EXPECT_EQ(ZmodemSendFile(line.Slave(), src, 0, &r, nullptr, fast), ZMODEM_TX_ERROR_LIMIT);
    EXPECT_EQ(r.totalErrors, 101);
    drain.get();
  }
  {
    zmtest::PtyLine line;
    ZmodemResult r;
    auto drain = std::async(std::launch::async, [&] { line.Receive(3000, 300); });
    EXPECT_EQ(ZmodemReceiveFile(line.Slave(), "", 16, &r, nullptr, fast), ZMODEM_RX_FAILED);
    EXPECT_EQ(r.totalErrors, 101);
    drain.get();
  }
}

TEST(ZmodemSession, CancelInsideTheDataReachesTheCallerAsCancelled) {
  zmtest::PtyLine line;
  ASSERT_TRUE(line.Ok());
  zmtest::ScriptedPeer peer(line);
  ZmodemResult r;
  auto rx = std::async(std::launch::async,
                       [&] { return ZmodemReceiveFile(line.Slave(), "", 16, &r, nullptr, zmtest::FastTiming()); });
  ASSERT_TRUE(peer.Expect(ZRINIT));
  peer.FileInfo("k.bin", "100 0 0 0 1 100");
  ASSERT_TRUE(peer.Expect(ZRPOS));
  peer.Bin(ZDATA, 0);
  ASSERT_TRUE(line.Send(Bytes{1, 2, 3, 0x18, 0x18, 0x18, 0x18, 0x18}));
  EXPECT_EQ(rx.get(), ZMODEM_CANCELLED);
  EXPECT_TRUE(r.data.empty());
}

}  // namespace
