// The ZMODEM sender: one file from disk, streamed as 1024-byte ZCRCG subpackets.
#include "Zmodem32/CTransferDlg.h"
#include "Zmodem32/CZmodem.h"
#include "Zmodem32/TransferUi.h"
#include "Zmodem32/ZmodemFormat.h"
#include "Zmodem32/ZmodemProtocol.h"
#include "Zmodem32/ZmodemResult.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <limits>

namespace pelagor {

namespace {

enum SendPhase { kFile, kData, kStream, kEof, kFinish, kDone };

std::string FrameLine(const char* prefix, int type, const uint8_t* h) {
  return ZFormat("%s%d : %02x %02x %02x %02x...", prefix, type, h[0], h[1], h[2], h[3]);
}

// Receive-header results that are no frame at all: silence, a stop, a damaged header.
bool IsBadHeader(int t) { return t == 0xFF || t == ZHDR_BADCRC || t > ZSTDERR; }

// Subpacket sizes under noise: never below this, doubled again after this many clean ones.
constexpr int32_t kMinSubpacket = 64;
constexpr int kGrowAfter = 16;
// Once the receiver has asked for a repeat, at most this much data is sent ahead of
// what it has confirmed, so a repeat never waits behind a full line buffer.
constexpr int32_t kWindow = 2048;
// Byte polls of a reply read between subpackets, and of the wait for a window to open
// (a window's data is on the line in well under a second).
constexpr uint32_t kReplyPolls = 5;
constexpr uint32_t kWindowPolls = 30;

}  // namespace

void CZmodem::TakeZrinit(const uint8_t* hdr) {
  state_.rxFlags = hdr[ZF0];
  state_.useVarHeaders = hdr[ZF1] & CANVHDR;
  state_.txCrc32 = (state_.wantCrc32 && (hdr[ZF0] & CANFC32)) ? 1 : 0;
  state_.escapeControls |= hdr[ZF0] & TESCCTL;
}

void CZmodem::SendZrqinit() {
  const uint8_t zero[4] = {0, 0, 0, 0};
  SendHexHeader(4, ZRQINIT, zero);
}

void CZmodem::SendFileInfo() {
  const uint8_t zero[4] = {0, 0, 0, 0};
  SendBinaryHeader(4, ZFILE, zero);
  // The peer gets the base name only, whichever separator the path uses.
  std::string base = sendPath_;
  const size_t cut = base.find_last_of(":\\/");
  if (cut != std::string::npos) base = base.substr(cut + 1);
  const std::string info = ZFormat("%ld %lo 0 0 %d %ld 0", static_cast<long>(state_.fileLength), 0ul,
                                   state_.filesRemaining, static_cast<long>(state_.bytesRemaining));
  // The information block is 120 bytes: a long name is cut so that the fields still fit.
  const size_t maxName = 120 - info.size() - 2;
  base = ZCut(base, maxName);
  uint8_t block[120] = {};
  std::memcpy(block, base.data(), base.size());
  std::memcpy(block + base.size() + 1, info.data(), info.size());
  SendSubpacket(block, static_cast<int>(base.size() + 1 + info.size() + 1), ZCRCW);
}

int CZmodem::SendFileData(const std::vector<uint8_t>* image, int32_t length, int32_t offset, int count) {
  if (!image) return -1;
  uint8_t stage[kZmodemMaxSubpacket];
  const int32_t size = state_.subpacketSize;
  uint8_t eof[4];
  int32_t o = std::clamp<int32_t>(offset, 0, length);
  for (int i = 0; i < count; ++i) {
    int32_t n = length <= o + size ? length - o : size;
    if (n < 0) n = 0;
    std::memcpy(stage, image->data() + o, static_cast<size_t>(n));
    o += n;
    if (n != size) {
      state_.txPos += n;
      state_.bytesTransferred += n;
      state_.dataBytes += n;
      SendSubpacket(stage, n, ZCRCE);
      StorePos(eof, state_.txPos);
      SendBinaryHeader(4, ZEOF, eof);
      ShowProgress(state_.txPos);
      return -99;
    }
    state_.txPos += n;
    state_.bytesTransferred += n;
    state_.dataBytes += n;
    SendSubpacket(stage, n, windowed_ ? ZCRCQ : ZCRCG);
    // A line that has stayed clean for a while gets the long subpackets back.
    if (++cleanSubpackets_ >= kGrowAfter && state_.subpacketSize < kZmodemMaxSubpacket) {
      state_.subpacketSize *= 2;
      cleanSubpackets_ = 0;
    }
    // A write that did not complete sent nothing: the caller ends the session.
    if (LineFailed()) return 1;
    if (state_.txPos > progressMark_) {
      progressMark_ = state_.txPos;
      NoteProgress();
    }
    // The pause paces a full subpacket; a shorter one (a noisy line) gets its share.
    Sleep(Timing().pauseShortMs * uint32_t(n) / uint32_t(kZmodemMaxSubpacket));
    // A reply waiting (a ZRPOS, usually) is taken at once, not after the next subpacket:
    // everything sent before it is seen would be sent in vain.
    if (HeaderPending()) break;
  }
  ShowProgress(state_.txPos);
  return 1;
}

void CZmodem::FinishSend() {
  endTime_ = static_cast<int64_t>(std::time(nullptr));
  image_.clear();
  image_.shrink_to_fit();
  running_ = false;
  if (host_) host_->OnWorkerEnd();
}

void CZmodem::RunSend() {
  BeginSession();
  askedMark_ = 0;
  windowed_ = false;
  ackPos_ = 0;
  cleanSubpackets_ = 0;
  CSerialPort::PurgeReceive();
  inPos_ = inLen_ = 0;
  PurgeTransmit();
  state_ = ZmodemState{};
  state_.wantCrc32 = 1;
  state_.subpacketSize = kZmodemMaxSubpacket;
  state_.zdataNulls = 10;
  state_.fileCount = 1;
  state_.filesRemaining = 1;
  state_.fileName = ZCut(sendPath_, kZmodemNameMax);

  {
    std::ifstream f(sendPath_, std::ios::binary);
    if (f) image_.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    if (!f.is_open() || f.bad() || image_.size() > size_t(std::numeric_limits<int32_t>::max() / 2)) {
      result_ = ZMODEM_TX_FILE_OPEN;
      return FinishSend();
    }
  }
  const int32_t length = static_cast<int32_t>(image_.size());
  state_.fileLength = length;
  state_.bytesRemaining = length;

  Status("  Initialize ZMODEM transmission...");
  ShowProgress(0);
  ShowFileName(sendPath_);
  if (ui_) ui_->SetProgressRange(0, 100);
  SendZrqinit();
  Status("  Sending ZRQINIT...");

  auto stop = [this] {
    AbortSession();
    cancelResult_ = ZMODEM_STOPPED;
    FinishSend();
  };
  auto fail = [this](ZmodemCode code, bool abort) {
    if (abort) AbortSession();
    result_ = code;
    FinishSend();
  };

  if (StopTest()) return stop();
  stateCode_ = 102;
  uint8_t hdr[4] = {};
  for (;;) {
    const int t = ReceiveHeader(hdr) & 0xFF;
    if (StopTest()) return stop();
    if (t == ZRINIT) {
      TakeZrinit(hdr);
      NoteProgress();
      break;
    }
    if (t == ZABORT || t == ZCAN) return fail(ZMODEM_TX_PEER_ABORT, false);
    Status("  Bad ZRINIT...");
    Status(FrameLine("  Frame Type ", t, hdr));
    Sleep(Timing().pauseLongMs);
    if (CountError()) return fail(ZMODEM_TX_ERROR_LIMIT, true);
    PurgeReceive();
    PurgeTransmit();
    SendZrqinit();
    Status("  Resending ZRQINIT...");
    Sleep(Timing().pauseMediumMs);
  }
  stateCode_ = 104;

  // Replies to ZFILE that are neither ZRPOS nor ZRINIT count as errors, so a receiver
  // that falls silent ends the session instead of holding it forever.
  state_.errorCount = 0;
  SendPhase phase = kFile;
  bool sendInfo = true;
  bool purgeOnStream = false;
  bool zrinitSeen = false;
  int finishTries = 0;
  auto sendEof = [this] {
    uint8_t h[4];
    StorePos(h, state_.txPos);
    SendBinaryHeader(4, ZEOF, h);
  };
  auto rewind = [this](const uint8_t* h) {
    const int32_t p = std::clamp<int32_t>(LoadPos(h), 0, state_.fileLength);
    // The receiver asking for a later position than before has taken more data: progress,
    // even when all of it has been sent once already.
    if (p > askedMark_) {
      askedMark_ = p;
      NoteProgress();
    }
    // A line that damages data from now on gets acknowledged subpackets and a window.
    windowed_ = true;
    ackPos_ = p;
    state_.dataBytes -= state_.txPos - p;
    state_.txPos = p;
    // What is still queued for the line is data the receiver has just refused: drop it
    // so the repeat starts at once. On a noisy line shorter subpackets get through more
    // often, so each repeat halves them (down to kMinSubpacket).
    DiscardTransmit();
    state_.subpacketSize = std::max(kMinSubpacket, state_.subpacketSize / 2);
    cleanSubpackets_ = 0;
  };
  while (phase != kDone) {
    // A receiver that is gone or has stopped taking data ends the session now.
    if (phase != kFinish && LineDown()) return fail(ZMODEM_TX_ERROR_LIMIT, true);
    switch (phase) {
      case kFile: {
        stateCode_ = 105;
        if (StopTest()) return stop();
        if (sendInfo) SendFileInfo();
        sendInfo = true;
        const int t = ReceiveHeader(hdr) & 0xFF;
        if (t != ZRINIT) zrinitSeen = false;
        if (t == ZRPOS) {
          state_.txPos = std::clamp<int32_t>(LoadPos(hdr), 0, length);
          NoteProgress();
          if (startTime_ == 0) startTime_ = static_cast<int64_t>(std::time(nullptr));
          phase = kData;
        } else if (t == ZABORT || t == ZCAN) {
          return fail(ZMODEM_TX_PEER_ABORT, false);
        } else if (t == ZRINIT) {
          // The receiver's ZRINIT often crosses our ZFILE (one at start, one for ZRQINIT).
          // Offering the file twice would draw two ZRPOS, and the second one would rewind a
          // finished file: wait once more for the reply, and offer again only if another
          // ZRINIT or nothing comes.
          TakeZrinit(hdr);
          sendInfo = zrinitSeen;
          zrinitSeen = !zrinitSeen;
          break;
        } else {
          Status(FrameLine("  Bad ZRPOS -- Frame Type ", t, hdr));
          PurgeReceive();
          if (CountError()) return fail(ZMODEM_TX_ERROR_LIMIT, true);
        }
        break;
      }
      case kData:
        Status(ZFormat("  Send ZDATA... (%ld)", static_cast<long>(state_.txPos)));
        {
          uint8_t h[4];
          StorePos(h, state_.txPos);
          SendBinaryHeader(4, ZDATA, h);
        }
        if (SendFileData(&image_, length, state_.txPos, 2) == -99) {
          phase = kEof;
        } else {
          phase = kStream;
          purgeOnStream = true;
        }
        break;
      case kStream: {
        stateCode_ = 106;
        if (purgeOnStream) {
          PurgeReceive();
          purgeOnStream = false;
        }
        if (StopTest()) return stop();
        if (windowed_ && state_.txPos - ackPos_ >= kWindow) {
          // The window is full: wait for the receiver to confirm or to ask again.
          replyPolls_ = kWindowPolls;
          const int t = ReceiveHeader(hdr) & 0xFF;
          replyPolls_ = 0;
          if (t == ZACK) {
            ackPos_ = std::max(ackPos_, LoadPos(hdr));
          } else if (t == ZABORT || t == ZCAN) {
            Status("  ZCAN received...");
            return fail(ZMODEM_TX_PEER_ABORT, false);
          } else {
            // A repeat asked for, or confirmations lost: send again from the position
            // asked for, or else from the last one confirmed.
            if (t != ZRPOS) StorePos(hdr, ackPos_);
            rewind(hdr);
            Status(ZFormat("  Retry at = %ld...", static_cast<long>(state_.txPos)));
            if (CountError()) return fail(ZMODEM_TX_ERROR_LIMIT, true);
            phase = kData;
          }
          break;
        }
        if (SendFileData(&image_, length, state_.txPos, 2) == -99) {
          phase = kEof;
          break;
        }
        // Stray bytes without a frame start are noise, not a reply to wait for.
        if (!HeaderPending()) {
          state_.errorCount = 0;
          break;
        }
        for (;;) {
          replyPolls_ = kReplyPolls;
          const int t = ReceiveHeader(hdr) & 0xFF;
          replyPolls_ = 0;
          if (t == ZACK) {
            Status("  ZACK received...");
            ackPos_ = std::max(ackPos_, LoadPos(hdr));
            break;
          }
          if (t == ZABORT || t == ZCAN) {
            Status("  ZCAN received...");
            return fail(ZMODEM_TX_PEER_ABORT, false);
          }
          if (t == ZRPOS) {
            rewind(hdr);
            Status(ZFormat("  Retry at = %ld...", static_cast<long>(state_.txPos)));
            if (CountError()) return fail(ZMODEM_TX_ERROR_LIMIT, true);
            phase = kData;
            break;
          }
          Status(ZFormat("  Bad ZRPOS : Got Frame #%d...", t));
          if (StopTest()) return stop();
          if (CountError()) return fail(ZMODEM_TX_ERROR_LIMIT, true);
          // A damaged reply on a line that damages data is most likely a ZRPOS: send again
          // from the last position confirmed (a receiver that has more asks for it).
          if (windowed_ && t != 0xFF) {
            StorePos(hdr, ackPos_);
            rewind(hdr);
            phase = kData;
            break;
          }
          // Otherwise the receiver asks again if it wants something; go on sending rather
          // than wait for a header that may never come.
          if (!HeaderPending()) break;
        }
        break;
      }
      case kEof: {
        stateCode_ = 190;
        if (StopTest()) return stop();
        const int t = ReceiveHeader(hdr) & 0xFF;
        if (t == ZRINIT || t == ZSKIP) {
          Status("  Received final ZRINIT...");
          NoteProgress();
          Status("  Send ZFIN...");
          SendPosHeader(ZFIN, 0);
          state_.errorCount = 0;
          phase = kFinish;
        } else if (t == ZABORT || t == ZCAN) {
          return fail(ZMODEM_TX_PEER_ABORT, false);
        } else if (t == ZRPOS) {
          // The receiver names the position it wants: send again from there at once.
          Status("  Rewind data packet...");
          rewind(hdr);
          if (CountError()) return fail(ZMODEM_TX_ERROR_LIMIT, true);
          phase = kData;
        } else if (t != ZACK) {
          // The ZEOF or the receiver's reply was damaged or lost: offer the end again.
          if (StopTest()) return stop();
          if (CountError()) return fail(ZMODEM_TX_ERROR_LIMIT, true);
          sendEof();
        }
        break;
      }
      case kFinish: {
        stateCode_ = 191;
        if (StopTest()) return stop();
        const int t = ReceiveHeader(hdr) & 0xFF;
        // The receiver repeating its ZRINIT, or a damaged reply, means our ZFIN may not have
        // arrived: offer it again a few times. The file itself is confirmed already.
        if ((t == ZRINIT || (IsBadHeader(t) && t != 0xFF)) && ++finishTries <= 10 && !LineDown()) {
          ++state_.totalErrors;
          SendPosHeader(ZFIN, 0);
          break;
        }
        Status(t == ZFIN ? "  Received ZFIN..." : "  Received Non ZFIN...");
        // The receiver has confirmed the end already; a lost "OO" changes nothing.
        static_cast<void>(WriteCommBlock("OO", 2));
        Status("  Send OO(over and out)...");
        PurgeReceive();
        Status("  End of Send ZMODEM Session...");
        result_ = ZMODEM_OK;
        phase = kDone;
        break;
      }
      case kDone: break;
    }
  }
  FinishSend();
}

}  // namespace pelagor
