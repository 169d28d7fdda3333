// The ZMODEM receiver: one file (or several into the same buffer) kept in memory.
#include "Zmodem32/CTransferDlg.h"
#include "Zmodem32/CZmodem.h"
#include "Zmodem32/TransferUi.h"
#include "Zmodem32/ZmodemFormat.h"
#include "Zmodem32/ZmodemProtocol.h"
#include "Zmodem32/ZmodemResult.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#ifdef _WIN32
#include <sys/utime.h>
#else
#include <utime.h>
#endif

namespace pelagor {

namespace {

enum RecvPhase { kWaitFile, kReadFile, kHandleData, kReceiving, kFrameEnded, kFinal, kDone };

std::string InfoLine(const uint8_t* h) {
  return ZFormat("  ZFILE infomation %02x %02x %02x %02x...", h[0], h[1], h[2], h[3]);
}

std::string FrameLine(const char* prefix, int type, const uint8_t* h, const char* suffix = "") {
  return ZFormat("%s%d : %02x %02x %02x %02x%s", prefix, type, h[0], h[1], h[2], h[3], suffix);
}

// A leading-integer conversion as strtol does it, kept to 32 bits.
int32_t Decimal(const std::string& s) {
  errno = 0;
  long long v = std::strtoll(s.c_str(), nullptr, 10);
  return static_cast<int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

// Octal read from the right, each character weighted without a digit check.
int32_t OctalFromRight(const std::string& s) {
  uint32_t v = 0, w = 1;
  for (auto it = s.rbegin(); it != s.rend(); ++it, w *= 8)
    v += static_cast<uint32_t>(static_cast<unsigned char>(*it) - 0x30) * w;
  return static_cast<int32_t>(v);
}

// Splits the next field at a single space; false when no space follows it.
bool NextField(const std::string& text, size_t& pos, std::string& field) {
  const size_t sp = text.find(' ', pos);
  if (sp == std::string::npos) {
    field = text.substr(pos);
    pos = text.size();
    return false;
  }
  field = text.substr(pos, sp - pos);
  pos = sp + 1;
  return true;
}

// Only a plain name may be joined to the receive directory: no path, no drive.
bool IsPlainBaseName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c == '/' || c == '\\' || c == ':' || c < 0x20) return false;
  return true;
}

}  // namespace

int CZmodem::AwaitRepeat(uint8_t* hdr) {
  // After a ZRPOS the sender answers at once or never (the ZRPOS was lost): a few
  // seconds of silence, not the full byte time-out, before asking again.
  replyPolls_ = std::max<uint32_t>(1, 3000 / std::max<uint32_t>(1, Timing().zmodemBytePollMs));
  const int t = ReceiveHeader(hdr) & 0xFF;
  replyPolls_ = 0;
  return t;
}

void CZmodem::SendZrinit() {
  // CRC-32 offered: a sender that can use it protects every subpacket with it, where a
  // CRC-16 lets one damaged subpacket in 65536 through on a noisy line.
  const uint8_t init[4] = {0, 0, 0, CANFDX | CANOVIO | CANFC32};
  SendHexHeader(4, ZRINIT, init);
}

int CZmodem::ParseFileInfo(bool headerRead) {
  if (!headerRead) {
    uint8_t h[4] = {};
    const int t = ReceiveHeader(h) & 0xFF;
    Status(InfoLine(h));
    if (t != ZFILE) return -1;
  }
  uint8_t block[kZmodemMaxSubpacket + 1];
  // Every failed read leaves rxCount at 0, which refuses the file below.
  static_cast<void>(ReceiveSubpacket(block, kZmodemMaxSubpacket));
  const int len = state_.rxCount;
  block[len] = 0;
  state_.filesRemaining = 0;
  state_.bytesRemaining = 0;
  if (len == 0) return -1;
  const char* text = reinterpret_cast<const char*>(block);
  const size_t nameLen = std::strlen(text);
  peerName_ = std::string(text, nameLen);
  state_.fileName = ZCut(peerName_, kZmodemNameMax);
  const std::string info = nameLen < size_t(len) ? std::string(text + nameLen + 1) : std::string();

  auto accept = [this] {
    if (state_.filesRemaining == 0) state_.filesRemaining = 1;
    if (state_.bytesRemaining == 0) state_.bytesRemaining = state_.announcedSize;
    return static_cast<int>(ZFILE);
  };
  size_t pos = 0;
  std::string field;
  if (!NextField(info, pos, field)) return -1;
  state_.announcedSize = Decimal(field);
  // The buffer is allocated from this length: a negative or absurd one refuses the file.
  if (state_.announcedSize < 0 || state_.announcedSize > kMaxReceiveSize) return -1;
  if (!NextField(info, pos, field)) return -1;
  state_.fileTime = static_cast<int32_t>(static_cast<uint32_t>(OctalFromRight(field)) + 28800u);
  if (!NextField(info, pos, field))  // mode
    return accept();
  if (!NextField(info, pos, field))  // serial number
    return accept();
  if (!NextField(info, pos, field))  // files remaining
    return accept();
  state_.filesRemaining = Decimal(field);
  NextField(info, pos, field);
  state_.bytesRemaining = Decimal(field);
  return accept();
}

int CZmodem::ReceiveFileData(std::vector<uint8_t>& buf) {
  uint8_t stage[kZmodemMaxSubpacket];
  for (;;) {
    const int st = ReceiveSubpacket(stage, kZmodemMaxSubpacket);
    if (st < GOTCRCE || st > GOTCRCW) return st;
    const int32_t n = state_.rxCount;
    // Data beyond the buffer is a bad packet: the sender is asked again from rxPos.
    if (state_.rxPos < 0 || size_t(state_.rxPos) + size_t(n) > buf.size()) return ZSUB_BAD;
    if (n > 0) std::memcpy(buf.data() + state_.rxPos, stage, static_cast<size_t>(n));
    state_.rxPos += n;
    state_.bytesTransferred += n;
    state_.dataBytes += n;
    if (state_.rxPos > progressMark_) {
      progressMark_ = state_.rxPos;
      NoteProgress();
    }
    ShowProgress(state_.rxPos);
    if (st == GOTCRCG && WaitCommData(0) > kZmodemMaxSubpacket) continue;
    return st;
  }
}

void CZmodem::AppendReceivedName() { receivedNames_ = ZCut(receivedNames_ + state_.fileName, 255); }

bool CZmodem::AcceptFile(bool first) {
  ++state_.fileCount;
  Status("  Received ZFILE...");
  if (ui_) ui_->SetProgressRange(0, 100);
  state_.fileName = ZCut(state_.receiveDir + state_.fileName, kZmodemNameMax);
  if (!haveData_) {
    data_.assign(static_cast<size_t>(state_.announcedSize), 0);
    haveData_ = true;
  }
  // Every file is written from offset 0 of the one buffer; what is handed back is the
  // latest file's bytes, never more than the buffer holds.
  state_.dataBytes = 0;
  state_.rxPos = 0;
  progressMark_ = 0;
  NoteProgress();
  SendPosHeader(ZRPOS, 0);
  Status("  Send ZRPOS...");
  Status("  Receiving start at 0... ");
  if (first && startTime_ == 0) startTime_ = static_cast<int64_t>(std::time(nullptr));
  return true;
}

void CZmodem::SetReceivedFileTime() {
  // The peer's name never becomes a path of its own: only a plain name inside a receive
  // directory chosen by the caller is touched.
  if (state_.receiveDir.empty() || !IsPlainBaseName(peerName_)) return;
  const std::string path = state_.receiveDir + peerName_;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
#ifdef _WIN32
  struct _utimbuf times {};
  times.actime = times.modtime = static_cast<time_t>(state_.fileTime);
  (void)::_utime(path.c_str(), &times);
#else
  struct utimbuf times {};
  times.actime = times.modtime = static_cast<time_t>(state_.fileTime);
  (void)::utime(path.c_str(), &times);
#endif
}

void CZmodem::FinishReceive() {
  // Input only: purging the output side here would throw away the final ZFIN or the
  // abort sequence before the peer has read it.
  CSerialPort::PurgeReceive();
  inPos_ = inLen_ = 0;
  endTime_ = static_cast<int64_t>(std::time(nullptr));
  dataLength_ = std::clamp<int32_t>(state_.dataBytes, 0, static_cast<int32_t>(data_.size()));
  running_ = false;
  if (host_) host_->OnWorkerEnd();
}

void CZmodem::RunReceive() {
  BeginSession();
  data_.clear();
  haveData_ = false;
  dataLength_ = 0;
  receivedNames_.clear();
  if (ui_) {
    ui_->SetLabel("Status");
    ui_->SetFileName("CHANNEL UPLOADING...");
  }
  PurgeReceive();
  PurgeTransmit();
  state_ = ZmodemState{};
  state_.receiveDir = ZCut(receiveDir_, kZmodemNameMax);
  Status("  Send ZRINIT...");
  SendZrinit();

  auto stop = [this] {
    AbortSession();
    cancelResult_ = ZMODEM_STOPPED;
    FinishReceive();
  };
  auto fail = [this](ZmodemCode code, bool abort) {
    if (abort) AbortSession();
    result_ = code;
    FinishReceive();
  };

  RecvPhase phase = kWaitFile;
  uint8_t hdr[4] = {};
  int t = 0;
  bool firstFile = true;
  // One path for a refused or accepted ZFILE; refusals count as errors so a sender that
  // keeps offering a bad file cannot hold the session forever.
  auto onFileInfo = [&](int r) -> bool {
    if (r == ZFILE) {
      AcceptFile(firstFile);
      firstFile = false;
      t = ReceiveHeader(hdr) & 0xFF;
      phase = kHandleData;
      stateCode_ = 204;
      return true;
    }
    Status(FrameLine("  Bad ZFILE -- Frame Type ", t, hdr));
    if (CountError()) {
      fail(ZMODEM_RX_FAILED, true);
      return false;
    }
    SendZrinit();
    phase = kWaitFile;
    return true;
  };

  while (phase != kDone) {
    // A sender that is gone or has stopped moving the transfer ends the session now.
    if (LineDown()) return fail(ZMODEM_RX_FAILED, true);
    switch (phase) {
      case kWaitFile:
        stateCode_ = 202;
        t = ReceiveHeader(hdr) & 0xFF;
        if (t == ZRQINIT || t == ZSINIT || t == ZFILE) NoteProgress();
        if (t == ZRQINIT) {
          Status("  Recevied ZRQINIT...");
          SendZrinit();
          Status("  Send ZRINIT...");
          phase = kReadFile;
        } else if (t == ZSINIT) {
          Status("  Received ZSINIT");
          uint8_t attn[120];
          const int st = ReceiveSubpacket(attn, sizeof attn);
          Status(ZFormat("  '%c' Received Attn (length = %d)...", st & 0xFF, state_.rxCount));
          Status("  Send ZACK...");
          SendPosHeader(ZACK, 0);
          stateCode_ = 203;
          phase = kReadFile;
        } else if (t == ZFILE) {
          Status("  No escape specified");
          Status(InfoLine(hdr));
          const int r = ParseFileInfo(true);
          AppendReceivedName();
          if (!onFileInfo(r)) return;
        } else if (t == ZABORT || t == ZCAN) {
          return fail(ZMODEM_RX_FAILED, false);
        } else {
          Status(FrameLine("  Bad ZSINIT -- Frame Type ", t, hdr));
          // A user stop makes every read fail; report it as the cancel it is.
          if (StopTest()) return stop();
          if (CountError()) return fail(ZMODEM_RX_FAILED, true);
          SendZrinit();
        }
        break;
      case kReadFile: {
        const int r = ParseFileInfo(false);
        AppendReceivedName();
        if (!onFileInfo(r)) return;
        break;
      }
      case kHandleData: {
        stateCode_ = 204;
        const int32_t p = LoadPos(hdr);
        if (t == ZFILE) {
          Status("  No escape specified");
          Status(InfoLine(hdr));
          const int r = ParseFileInfo(true);
          receivedNames_ = ZCut(state_.fileName, 255);
          if (!onFileInfo(r)) return;
        } else if (t == ZABORT || t == ZCAN) {
          return fail(ZMODEM_RX_FAILED, false);
        } else if (t == ZDATA && p >= 0 && p <= state_.rxPos) {
          // A ZDATA ahead of what we hold would leave a hole: it is refused below.
          if (p != state_.rxPos) {
            state_.bytesTransferred -= state_.rxPos - p;
            state_.dataBytes -= state_.rxPos - p;
            state_.rxPos = p;
          }
          Status("  Received Starting ZDATA...");
          phase = kReceiving;
        } else if (t == 0xFF && !readFailed_) {
          // Not silence: the sender's stale data is still coming and held something that
          // only began like a header. The ZRPOS is on its way; hunt on for the ZDATA.
          if (StopTest()) return stop();
          t = AwaitRepeat(hdr);
        } else {
          Status("  Bad ZDATA, Resend ZRPOS ...");
          if (StopTest()) return stop();
          if (CountError()) return fail(ZMODEM_RX_FAILED, true);
          // No purge here: the ZDATA asked for may already be in the input, behind the
          // damaged header. The ZRPOS goes alone (see the bad-packet case below).
          SendPosHeader(ZRPOS, state_.rxPos);
          t = AwaitRepeat(hdr);
        }
        break;
      }
      case kReceiving: {
        stateCode_ = 207;
        if (StopTest()) return stop();
        const int st = ReceiveFileData(data_);
        if (st == GOTCRCE || st == GOTCRCG || st == GOTCRCQ || st == GOTCRCW) {
          state_.errorCount = 0;
          if (st == GOTCRCQ) SendPosHeader(ZACK, state_.rxPos);
          if (st == GOTCRCW) {
            Status("  Send ZACK...");
            SendPosHeader(ZACK, state_.rxPos);
          }
          if (st == GOTCRCE || st == GOTCRCW) phase = kFrameEnded;
          break;
        }
        if (st == ZSUB_CANCELLED) {
          Status("  Sender Canceled... ");
          return fail(ZMODEM_CANCELLED, false);
        }
        if (st == ZSUB_BAD) Status("   Data subpacket too long...");
        if (st == ZSUB_TIMEOUT) Status("  ZDATA Timeout...");
        PurgeReceive();
        Status("  Invalid Data Packet : Request resend packet ...");
        // The ZRPOS alone: a streaming sender that reads a ZACK first may take the ZRPOS
        // behind it into its input buffer and not look at it again until the end of the
        // file, sending everything that follows for nothing.
        SendPosHeader(ZRPOS, state_.rxPos);
        if (StopTest()) return stop();
        if (CountError()) return fail(ZMODEM_RX_FAILED, true);
        t = AwaitRepeat(hdr);
        phase = kHandleData;
        break;
      }
      case kFrameEnded: {
        stateCode_ = 290;
        if (StopTest()) return stop();
        t = ReceiveHeader(hdr) & 0xFF;
        const int32_t p = LoadPos(hdr);
        if (t == ZABORT || t == ZCAN) {
          Status("ZEOF-WRZ32ERROR_RECEIVE_ZABORT");
          return fail(ZMODEM_RX_FAILED, false);
        }
        if (t == ZDATA) {
          Status("ZEOF-ZDATA");
          phase = kHandleData;
          break;
        }
        if (t != ZEOF) {
          // A damaged or unexpected header where the end should be: ask for the data from
          // where we are, as after a bad subpacket; the sender repeats the end from there.
          Status(FrameLine("  Bad ZEOF -- Frame Type ", t, hdr, "..."));
          if (StopTest()) return stop();
          if (CountError()) return fail(ZMODEM_RX_FAILED, true);
          SendPosHeader(ZRPOS, state_.rxPos);
          break;
        }
        Status("ZEOF-ZEOF");
        if (p != state_.announcedSize) {
          Status("  Bad ZEOF filesize...");
          return fail(ZMODEM_RX_FAILED, true);
        }
        if (state_.rxPos != p) {
          // The end is announced but data is missing: ask for it like any bad packet.
          phase = kHandleData;
          break;
        }
        NoteProgress();
        Status(ZFormat("  Receved ZEOF (%ld)", static_cast<long>(p)));
        Status("  Send final ZRINIT");
        SendZrinit();
        if (StopTest()) return stop();
        if (state_.filesRemaining > 1) {
          const int r = ParseFileInfo(false);
          AppendReceivedName();
          if (!onFileInfo(r)) return;
          break;
        }
        state_.errorCount = 0;
        phase = kFinal;
        break;
      }
      case kFinal: {
        stateCode_ = 290;
        t = ReceiveHeader(hdr) & 0xFF;
        if (t == ZFIN) {
          Status("  Receved ZFIN...");
          PurgeReceive();
          Status("  Send ZFIN...");
          SendPosHeader(ZFIN, 0);
          stateCode_ = 292;
          SetReceivedFileTime();
          Status("  Receved OO(over and out)...");
          Status("  End of Receive ZMODEM Session...");
          result_ = ZMODEM_OK;
          phase = kDone;
        } else if (t == ZABORT || t == ZCAN) {
          return fail(ZMODEM_RX_FAILED, false);
        } else {
          // Our ZRINIT or the sender's ZFIN was damaged or lost (a repeated ZEOF says the
          // sender never saw the ZRINIT): offer the ZRINIT again.
          Status("  Bad ZFIN...");
          if (StopTest()) return stop();
          if (CountError()) return fail(ZMODEM_RX_FAILED, true);
          SendZrinit();
        }
        break;
      }
      case kDone: break;
    }
  }
  FinishReceive();
}

}  // namespace pelagor
