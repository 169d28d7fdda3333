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
  m_replyPolls = std::max<uint32_t>(1, 3000 / std::max<uint32_t>(1, Timing().zmodemBytePollMs));
  const int t = ReceiveHeader(hdr) & 0xFF;
  m_replyPolls = 0;
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
  ReceiveSubpacket(block, kZmodemMaxSubpacket);
  const int len = m_state.rxCount;
  block[len] = 0;
  m_state.filesRemaining = 0;
  m_state.bytesRemaining = 0;
  if (len == 0) return -1;
  const char* text = reinterpret_cast<const char*>(block);
  const size_t nameLen = std::strlen(text);
  m_peerName = std::string(text, nameLen);
  m_state.fileName = ZCut(m_peerName, kZmodemNameMax);
  const std::string info = nameLen < size_t(len) ? std::string(text + nameLen + 1) : std::string();

  auto accept = [this] {
    if (m_state.filesRemaining == 0) m_state.filesRemaining = 1;
    if (m_state.bytesRemaining == 0) m_state.bytesRemaining = m_state.announcedSize;
    return static_cast<int>(ZFILE);
  };
  size_t pos = 0;
  std::string field;
  if (!NextField(info, pos, field)) return -1;
  m_state.announcedSize = Decimal(field);
  // The buffer is allocated from this length: a negative or absurd one refuses the file.
  if (m_state.announcedSize < 0 || m_state.announcedSize > kMaxReceiveSize) return -1;
  if (!NextField(info, pos, field)) return -1;
  m_state.fileTime = static_cast<int32_t>(static_cast<uint32_t>(OctalFromRight(field)) + 28800u);
  if (!NextField(info, pos, field))  // mode
    return accept();
  if (!NextField(info, pos, field))  // serial number
    return accept();
  if (!NextField(info, pos, field))  // files remaining
    return accept();
  m_state.filesRemaining = Decimal(field);
  NextField(info, pos, field);
  m_state.bytesRemaining = Decimal(field);
  return accept();
}

int CZmodem::ReceiveFileData(std::vector<uint8_t>& buf) {
  uint8_t stage[kZmodemMaxSubpacket];
  for (;;) {
    const int st = ReceiveSubpacket(stage, kZmodemMaxSubpacket);
    if (st < GOTCRCE || st > GOTCRCW) return st;
    const int32_t n = m_state.rxCount;
    // Data beyond the buffer is a bad packet: the sender is asked again from rxPos.
    if (m_state.rxPos < 0 || size_t(m_state.rxPos) + size_t(n) > buf.size()) return ZSUB_BAD;
    if (n > 0) std::memcpy(buf.data() + m_state.rxPos, stage, static_cast<size_t>(n));
    m_state.rxPos += n;
    m_state.bytesTransferred += n;
    m_state.dataBytes += n;
    if (m_state.rxPos > m_progressMark) {
      m_progressMark = m_state.rxPos;
      NoteProgress();
    }
    ShowProgress(m_state.rxPos);
    if (st == GOTCRCG && WaitCommData(0) > kZmodemMaxSubpacket) continue;
    return st;
  }
}

void CZmodem::AppendReceivedName() { m_receivedNames = ZCut(m_receivedNames + m_state.fileName, 255); }

bool CZmodem::AcceptFile(bool first) {
  ++m_state.fileCount;
  Status("  Received ZFILE...");
  if (m_ui) m_ui->SetProgressRange(0, 100);
  m_state.fileName = ZCut(m_state.receiveDir + m_state.fileName, kZmodemNameMax);
  if (!m_haveData) {
    m_data.assign(static_cast<size_t>(m_state.announcedSize), 0);
    m_haveData = true;
  }
  // Every file is written from offset 0 of the one buffer; what is handed back is the
  // latest file's bytes, never more than the buffer holds.
  m_state.dataBytes = 0;
  m_state.rxPos = 0;
  m_progressMark = 0;
  NoteProgress();
  SendPosHeader(ZRPOS, 0);
  Status("  Send ZRPOS...");
  Status("  Receiving start at 0... ");
  if (first && m_startTime == 0) m_startTime = static_cast<int64_t>(std::time(nullptr));
  return true;
}

void CZmodem::SetReceivedFileTime() {
  // The peer's name never becomes a path of its own: only a plain name inside a receive
  // directory chosen by the caller is touched.
  if (m_state.receiveDir.empty() || !IsPlainBaseName(m_peerName)) return;
  const std::string path = m_state.receiveDir + m_peerName;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return;
#ifdef _WIN32
  struct _utimbuf times {};
  times.actime = times.modtime = static_cast<time_t>(m_state.fileTime);
  (void)::_utime(path.c_str(), &times);
#else
  struct utimbuf times {};
  times.actime = times.modtime = static_cast<time_t>(m_state.fileTime);
  (void)::utime(path.c_str(), &times);
#endif
}

void CZmodem::FinishReceive() {
  // Input only: purging the output side here would throw away the final ZFIN or the
  // abort sequence before the peer has read it.
  CSerialPort::PurgeReceive();
  m_inPos = m_inLen = 0;
  m_endTime = static_cast<int64_t>(std::time(nullptr));
  m_dataLength = std::clamp<int32_t>(m_state.dataBytes, 0, static_cast<int32_t>(m_data.size()));
  m_running = false;
  if (m_host) m_host->OnWorkerEnd();
}

void CZmodem::RunReceive() {
  m_result = 0;
  m_cancelResult = 0;
  m_startTime = m_endTime = 0;
  ClearLineFailure();
  m_stallArmed = false;
  m_progressMark = 0;
  m_data.clear();
  m_haveData = false;
  m_dataLength = 0;
  m_receivedNames.clear();
  if (m_ui) {
    m_ui->SetLabel("Status");
    m_ui->SetFileName("CHANNEL UPLOADING...");
  }
  PurgeReceive();
  PurgeTransmit();
  m_state = ZmodemState{};
  m_state.receiveDir = ZCut(m_receiveDir, kZmodemNameMax);
  Status("  Send ZRINIT...");
  SendZrinit();

  auto stop = [this] {
    AbortSession();
    m_cancelResult = ZMODEM_STOPPED;
    FinishReceive();
  };
  auto fail = [this](int32_t code, bool abort) {
    if (abort) AbortSession();
    m_result = code;
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
      m_stateCode = 204;
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
        m_stateCode = 202;
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
          Status(ZFormat("  '%c' Received Attn (length = %d)...", st & 0xFF, m_state.rxCount));
          Status("  Send ZACK...");
          SendPosHeader(ZACK, 0);
          m_stateCode = 203;
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
        m_stateCode = 204;
        const int32_t p = LoadPos(hdr);
        if (t == ZFILE) {
          Status("  No escape specified");
          Status(InfoLine(hdr));
          const int r = ParseFileInfo(true);
          m_receivedNames = ZCut(m_state.fileName, 255);
          if (!onFileInfo(r)) return;
        } else if (t == ZABORT || t == ZCAN) {
          return fail(ZMODEM_RX_FAILED, false);
        } else if (t == ZDATA && p >= 0 && p <= m_state.rxPos) {
          // A ZDATA ahead of what we hold would leave a hole: it is refused below.
          if (p != m_state.rxPos) {
            m_state.bytesTransferred -= m_state.rxPos - p;
            m_state.dataBytes -= m_state.rxPos - p;
            m_state.rxPos = p;
          }
          Status("  Received Starting ZDATA...");
          phase = kReceiving;
        } else if (t == 0xFF && !m_readFailed) {
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
          SendPosHeader(ZRPOS, m_state.rxPos);
          t = AwaitRepeat(hdr);
        }
        break;
      }
      case kReceiving: {
        m_stateCode = 207;
        if (StopTest()) return stop();
        const int st = ReceiveFileData(m_data);
        if (st == GOTCRCE || st == GOTCRCG || st == GOTCRCQ || st == GOTCRCW) {
          m_state.errorCount = 0;
          if (st == GOTCRCQ) SendPosHeader(ZACK, m_state.rxPos);
          if (st == GOTCRCW) {
            Status("  Send ZACK...");
            SendPosHeader(ZACK, m_state.rxPos);
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
        SendPosHeader(ZRPOS, m_state.rxPos);
        if (StopTest()) return stop();
        if (CountError()) return fail(ZMODEM_RX_FAILED, true);
        t = AwaitRepeat(hdr);
        phase = kHandleData;
        break;
      }
      case kFrameEnded: {
        m_stateCode = 290;
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
          SendPosHeader(ZRPOS, m_state.rxPos);
          break;
        }
        Status("ZEOF-ZEOF");
        if (p != m_state.announcedSize) {
          Status("  Bad ZEOF filesize...");
          return fail(ZMODEM_RX_FAILED, true);
        }
        if (m_state.rxPos != p) {
          // The end is announced but data is missing: ask for it like any bad packet.
          phase = kHandleData;
          break;
        }
        NoteProgress();
        Status(ZFormat("  Receved ZEOF (%ld)", static_cast<long>(p)));
        Status("  Send final ZRINIT");
        SendZrinit();
        if (StopTest()) return stop();
        if (m_state.filesRemaining > 1) {
          const int r = ParseFileInfo(false);
          AppendReceivedName();
          if (!onFileInfo(r)) return;
          break;
        }
        m_state.errorCount = 0;
        phase = kFinal;
        break;
      }
      case kFinal: {
        m_stateCode = 290;
        t = ReceiveHeader(hdr) & 0xFF;
        if (t == ZFIN) {
          Status("  Receved ZFIN...");
          PurgeReceive();
          Status("  Send ZFIN...");
          SendPosHeader(ZFIN, 0);
          m_stateCode = 292;
          SetReceivedFileTime();
          Status("  Receved OO(over and out)...");
          Status("  End of Receive ZMODEM Session...");
          m_result = ZMODEM_OK;
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
