// The whole transfer as the editor and the CLI run it: the open check, the
// announcement, the session against lrzsz or a scripted peer, the purge after
// it, and the outcome with the text the user is shown.
#include "Zmodem32/CTransferDlg.h"
#include "Zmodem32/ReceiverTransfer.h"
#include "Zmodem32/ZmodemProtocol.h"
#include "Zmodem32/ZmodemResult.h"
#include "link/CSerialPort.h"
#include "link/ReceiverProtocol.h"
#include "zmodem/ZmodemScriptedPeer.h"
#include "zmodem/ZmodemTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <future>
#include <optional>
#include <string>

using namespace pelagor;
using zmtest::Bytes;

namespace {

const std::string kSuccessText = "Download Success !\n\nDo not power off the receiver until reboot automatically !";

// Our side gives up on a silent line after 2 s; lrzsz after 3 s.
LinkTiming InteropTiming() { return zmtest::FastTiming(2, 1000); }

// Our port on one end of a line whose other end is the peer's.
class PortOn {
 public:
  PortOn(int fd, const LinkTiming& timing) : port_(timing) { port_.AttachHandle(fd); }
  ~PortOn() { port_.DetachHandle(); }
  CSerialPort& Port() { return port_; }

 private:
  CSerialPort port_;
};

bool Readable(int fd, int waitMs) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, waitMs) > 0 && (p.revents & POLLIN);
}

// Exactly n bytes, or fewer if the line stays silent for waitMs; what follows
// stays on the line for the next reader.
Bytes ReadExactly(int fd, size_t n, int waitMs) {
  Bytes out;
  while (out.size() < n && Readable(fd, waitMs)) {
    uint8_t buf[64];
    const ssize_t r = ::read(fd, buf, std::min(sizeof buf, n - out.size()));
    if (r <= 0) break;
    out.insert(out.end(), buf, buf + r);
  }
  return out;
}

Bytes FrameBytes(uint8_t code) {
  const UartFrame frame = MakeUartFrame(code);
  return Bytes(frame.begin(), frame.end());
}

// The first hex header of a session: ZPAD ZPAD ZDLE 'B' and the type in hex.
std::string HexHeaderStart(int type) {
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02x", type);
  return std::string("**\x18") + "B" + digits;
}

TEST(ReceiverTransfer, UnreadableFileSendsNothingAndLeavesThePortAlone) {
  zmtest::TempDir dir;
  const std::string readable = dir.File("readable.bin");
  ASSERT_TRUE(zmtest::WriteFile(readable, Bytes{1, 2, 3}));
  EXPECT_FALSE(CheckFileToSend(readable).has_value());

  // A missing file, and a folder, which opens on some systems but is no file.
  for (const std::string& path : {dir.File("missing.bin"), dir.Path()}) {
    for (bool announce : {true, false}) {
      SCOPED_TRACE(path + (announce ? " announced" : ""));
      zmtest::PtyLine line;
      ASSERT_TRUE(line.Ok());
      PortOn ours(line.Slave(), zmtest::FastTiming());
      // Bytes already waiting for our port: a purge would throw them away.
      const std::string waiting = "waiting";
      ASSERT_TRUE(line.Send(waiting));
      ASSERT_TRUE(Readable(line.Slave(), 1000));
      zmtest::FakeTransferUi ui;
      bool sessionPathAsked = false;
      const TransferOutcome out = DownloadToReceiver(ours.Port(), announce, path, &ui, zmtest::FastTiming(), [&] {
        sessionPathAsked = true;
        return readable;
      });
      EXPECT_EQ(out.status, TransferStatus::kFailed);
      EXPECT_EQ(out.code, ZMODEM_TX_FILE_OPEN);
      EXPECT_EQ(out.message, "File Open Failed !");
      EXPECT_TRUE(out.data.empty());
      EXPECT_FALSE(sessionPathAsked);
      EXPECT_EQ(ui.caption, "");  // no session, no dialog
      EXPECT_EQ(ui.endCalls.load(), 0);
      EXPECT_EQ(line.Receive(200, 30), Bytes{});  // not even the announcement
      EXPECT_EQ(zmtest::PtyLine::ReadFrom(line.Slave(), 200, 30), Bytes(waiting.begin(), waiting.end()));

      const std::optional<TransferOutcome> refused = CheckFileToSend(path);
      ASSERT_TRUE(refused.has_value());
      EXPECT_EQ(refused->message, out.message);
      EXPECT_EQ(refused->code, out.code);
    }
  }
}

// The file that passed the check goes out under the path the caller gives for
// the session (the editor's name within the folder it changed into).
TEST(ReceiverTransfer, DownloadAnnouncesThenRzGetsTheExactBytes) {
  zmtest::TempDir dir;
  const std::string checked = dir.File("checked.bin");
  ASSERT_TRUE(zmtest::WriteFile(checked, Bytes{9, 9, 9}));
  const std::string image = dir.File("image.bin");
  const Bytes content = zmtest::RandomBytes(40 * 1024 + 5, 51);
  ASSERT_TRUE(zmtest::WriteFile(image, content));
  const std::string rxDir = dir.File("rx");
  ASSERT_TRUE(std::filesystem::create_directory(rxDir));

  zmtest::PtyLine line;
  ASSERT_TRUE(line.Ok());
  PortOn ours(line.Master(), InteropTiming());
  zmtest::FakeTransferUi ui;
  auto download = std::async(std::launch::async, [&] {
    return DownloadToReceiver(ours.Port(), true, checked, &ui, InteropTiming(), [&] { return image; });
  });
  // The receiver hears the announcement first and on its own; then rz takes the line.
  EXPECT_EQ(ReadExactly(line.Slave(), 8, 2000), FrameBytes(UART_CMD_START_ZMODEM_DOWNLOAD));
  zmtest::PeerProcess rz({"rz", "-q", "-t", "30"}, line.Slave(), "", rxDir, dir.File("rz.log"));
  ASSERT_TRUE(rz.Started());
  const TransferOutcome out = download.get();
  EXPECT_EQ(rz.Wait(10000), 0);
  EXPECT_EQ(out.status, TransferStatus::kSucceeded);
  EXPECT_EQ(out.code, ZMODEM_OK);
  EXPECT_EQ(out.message, kSuccessText);
  EXPECT_TRUE(out.data.empty());
  EXPECT_EQ(ui.fileName, image);
  EXPECT_EQ(zmtest::ReadFile(rxDir + "/image.bin"), content);
  EXPECT_FALSE(std::filesystem::exists(rxDir + "/checked.bin"));
}

TEST(ReceiverTransfer, UploadGivesTheBytesSzSends) {
  const Bytes content = zmtest::ControlHeavyBytes(30 * 1024 + 3);
  zmtest::TempDir dir;
  ASSERT_TRUE(zmtest::WriteFile(dir.File("image.bin"), content));
  zmtest::PtyLine line;
  ASSERT_TRUE(line.Ok());
  PortOn ours(line.Master(), InteropTiming());
  auto upload =
      std::async(std::launch::async, [&] { return UploadFromReceiver(ours.Port(), true, nullptr, InteropTiming()); });
  EXPECT_EQ(ReadExactly(line.Slave(), 8, 2000), FrameBytes(UART_CMD_START_ZMODEM_UPLOAD));
  zmtest::PeerProcess sz({"sz", "-q", "-t", "30", "image.bin"}, line.Slave(), "", dir.Path(), dir.File("sz.log"));
  ASSERT_TRUE(sz.Started());
  const TransferOutcome out = upload.get();
  EXPECT_EQ(sz.Wait(10000), 0);
  EXPECT_EQ(out.status, TransferStatus::kSucceeded);
  EXPECT_EQ(out.code, ZMODEM_OK);
  EXPECT_EQ(out.message, "");  // what the bytes are worth is the caller's to say
  EXPECT_EQ(out.data, content);
}

// Records the session; as it ends, puts late bytes on our side of the line,
// which only the purge after the session clears. closeAtOnce: the user closes
// the dialog as soon as it opens, which stops the session.
class EndingUi : public zmtest::FakeTransferUi {
 public:
  EndingUi(zmtest::PtyLine& line, bool closeAtOnce) : line_(line), closeAtOnce_(closeAtOnce) {}
  void RunModal(CTransferDlg& dlg) override {
    if (!closeAtOnce_) TransferUi::RunModal(dlg);
  }
  void EndDialog() override {
    FakeTransferUi::EndDialog();
    lateQueued = line_.Send(std::string("late")) && Readable(line_.Slave(), 1000);
  }
  std::atomic<bool> lateQueued{false};

 private:
  zmtest::PtyLine& line_;
  bool closeAtOnce_;
};

enum class Peer { kAborts, kSilent, kUserCloses };

struct EndingCase {
  const char* name;
  bool sending;
  bool announce;
  Peer peer;
  int32_t code;
  TransferStatus status;
  const char* message;
};

TEST(ReceiverTransfer, EveryEndingGivesItsTextAndIsPurged) {
  const EndingCase cases[] = {
      {"download, peer aborts", true, true, Peer::kAborts, ZMODEM_TX_PEER_ABORT, TransferStatus::kFailed,
       "Download Failed !"},
      {"download, silent line", true, true, Peer::kSilent, ZMODEM_TX_ERROR_LIMIT, TransferStatus::kFailed,
       "Download Failed !"},
      {"download unannounced, silent line", true, false, Peer::kSilent, ZMODEM_TX_ERROR_LIMIT, TransferStatus::kFailed,
       "Download Failed !"},
      {"download, dialog closed", true, true, Peer::kUserCloses, ZMODEM_CANCELLED, TransferStatus::kCancelled,
       "Download Cancelled !"},
      {"upload, peer aborts", false, true, Peer::kAborts, ZMODEM_RX_FAILED, TransferStatus::kFailed, "Upload Error !"},
      {"upload, silent line", false, true, Peer::kSilent, ZMODEM_RX_FAILED, TransferStatus::kFailed, "Upload Error !"},
      {"upload unannounced, silent line", false, false, Peer::kSilent, ZMODEM_RX_FAILED, TransferStatus::kFailed,
       "Upload Error !"},
      {"upload, dialog closed", false, true, Peer::kUserCloses, ZMODEM_CANCELLED, TransferStatus::kCancelled,
       "Upload Cancelled !"},
  };
  zmtest::TempDir dir;
  const std::string src = dir.File("e.bin");
  ASSERT_TRUE(zmtest::WriteFile(src, zmtest::RandomBytes(100, 52)));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zmtest::PtyLine line;
    ASSERT_TRUE(line.Ok());
    // A silent line ends at the error limit in moments; otherwise only the
    // peer or the user can end the session quickly.
    const LinkTiming timing = c.peer == Peer::kSilent ? zmtest::FastTiming(1, 2) : zmtest::FastTiming(5, 2000);
    PortOn ours(line.Slave(), timing);
    EndingUi ui(line, c.peer == Peer::kUserCloses);
    auto run = std::async(std::launch::async, [&] {
      return c.sending ? DownloadToReceiver(ours.Port(), c.announce, src, &ui, timing)
                       : UploadFromReceiver(ours.Port(), c.announce, &ui, timing);
    });
    Bytes wire;
    if (c.peer == Peer::kAborts) {
      zmtest::ScriptedPeer peer(line);
      ASSERT_TRUE(peer.Expect(c.sending ? ZRQINIT : ZRINIT));
      peer.Hex(ZCAN);
    }
    // Keep draining so that our side never blocks on a full line.
    while (run.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
      const Bytes b = line.Receive(5, 5);
      wire.insert(wire.end(), b.begin(), b.end());
    }
    const TransferOutcome out = run.get();
    const Bytes rest = line.Receive(50, 20);
    wire.insert(wire.end(), rest.begin(), rest.end());

    EXPECT_EQ(out.code, c.code);
    EXPECT_EQ(out.status, c.status);
    EXPECT_EQ(out.message, c.message);
    EXPECT_TRUE(out.data.empty());
    EXPECT_EQ(ui.endCalls.load(), 1);
    ASSERT_TRUE(ui.lateQueued.load());
    EXPECT_FALSE(Readable(line.Slave(), 0)) << "late bytes outlived the session";
    if (c.peer == Peer::kSilent) {
      // The announcement, when asked for, comes before the session's first header.
      const Bytes frame = FrameBytes(c.sending ? UART_CMD_START_ZMODEM_DOWNLOAD : UART_CMD_START_ZMODEM_UPLOAD);
      // (A sender opens with "rz\r", which starts a receiver sitting at a shell.)
      const std::string head = c.sending ? "rz\r" + HexHeaderStart(ZRQINIT) : HexHeaderStart(ZRINIT);
      std::string expect = c.announce ? std::string(frame.begin(), frame.end()) : std::string();
      expect += head;
      ASSERT_GE(wire.size(), expect.size());
      EXPECT_EQ(std::string(wire.begin(), wire.begin() + std::ptrdiff_t(expect.size())), expect);
    }
  }
}

}  // namespace
