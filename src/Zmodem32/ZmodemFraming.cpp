// Byte-level ZMODEM: escaping, headers, subpackets and the timed byte read.
#include "Zmodem32/CZmodem.h"
#include "Zmodem32/ZmodemCrc.h"
#include "Zmodem32/ZmodemProtocol.h"

#include <chrono>

namespace pelagor {

namespace {

bool IsControl(int c) { return (c & 0x60) == 0; }

}  // namespace

void CZmodem::Sleep(uint32_t ms) {
  if (ms) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool CZmodem::FillInput() {
  inPos_ = 0;
  inLen_ = ReadCommBlock(in_.data(), static_cast<uint32_t>(in_.size()));
  return inLen_ > 0;
}

int32_t CZmodem::WaitCommData(uint32_t seconds) {
  const int32_t held = static_cast<int32_t>(inLen_ - inPos_);
  int32_t q = CSerialPort::WaitCommData(held > 0 ? 0 : seconds);
  if (held > 0) return held + (q > 0 ? q : 0);
  return q;
}

bool CZmodem::HeaderPending() {
  for (;;) {
    if (inPos_ >= inLen_ && !FillInput()) return false;
    const uint8_t c = in_[inPos_];
    if (c == ZPAD || c == (ZPAD | 0x80)) return true;
    ++inPos_;
  }
}

void CZmodem::PurgeReceive() {
  inPos_ = inLen_ = 0;
  CSerialPort::PurgeReceive();
}

int CZmodem::ReadByte() {
  readFailed_ = false;
  if (inPos_ < inLen_) return in_[inPos_++];
  readFailed_ = true;
  if (LineDown()) return -1;
  if (FillInput()) {
    readFailed_ = false;
    return in_[inPos_++];
  }
  // pollCount polls of pollMs make the time-out; each poll looks at the queue in tenths
  // so a turnaround costs milliseconds, not a whole poll, and a stop is seen as quickly.
  const LinkTiming& t = Timing();
  const uint32_t slices = t.zmodemBytePollMs >= 10 ? 10 : 1;
  const uint32_t sliceMs = t.zmodemBytePollMs / slices;
  // A reply read between subpackets waits only a few polls: the rest of a header that has
  // begun to arrive comes within milliseconds, and the data must go on meanwhile.
  const uint32_t polls = replyPolls_ ? std::min(t.zmodemBytePollCount, replyPolls_) : t.zmodemBytePollCount;
  for (uint32_t i = 0; i < polls; ++i) {
    for (uint32_t k = 0; k < slices; ++k) {
      if (stopRequested_.load() || LineDown()) return -1;
      Sleep(sliceMs);
      if (FillInput()) {
        readFailed_ = false;
        return in_[inPos_++];
      }
    }
  }
  return -1;
}

void CZmodem::NoteProgress() {
  stallArmed_ = true;
  lastProgress_ = std::chrono::steady_clock::now();
}

bool CZmodem::LineDown() {
  if (LineFailed()) return true;
  return stallArmed_ &&
         std::chrono::steady_clock::now() - lastProgress_ > std::chrono::milliseconds(Timing().zmodemStallMs);
}

int CZmodem::ReadStripped() {
  for (;;) {
    int c = ReadByte();
    if (c < 0) return -1;
    c &= 0x7F;
    if (c == 0x0A || c == 0x0D || c == ZDLE) return c;
    if (c == XON || c == XOFF) continue;
    if (state_.escapeControls && IsControl(c)) continue;
    return c;
  }
}

int CZmodem::ReadHexByte() {
  auto digit = [this](int& value) {
    int c = ReadStripped();
    if (c < 0) return false;
    value = c - 0x30;
    if (value > 9) value = c - 0x57;
    return true;
  };
  int hi = 0, lo = 0;
  if (!digit(hi)) return -1;
  if (hi < 0 || hi > 15) return 0;
  if (!digit(lo)) return -1;
  if (lo < 0 || lo > 15) return 0;
  return hi * 16 + lo;
}

int CZmodem::ReadEscaped() {
  for (;;) {
    int c = ReadByte();
    if (c < 0 || !IsControl(c)) return c;
    if (c == XON || c == XOFF || c == 0x91 || c == 0x93) continue;
    if (c != ZDLE) {
      if (state_.escapeControls) continue;
      return c;
    }
    for (;;) {
      c = ReadByte();
      if (c < 0) return -1;
      for (int k = 0; k < 3 && c == CAN; ++k) {
        c = ReadByte();
        if (c < 0) return -1;
      }
      if (c == CAN) return GOTCAN;
      if (c >= ZCRCE && c <= ZCRCW) return c | GOTOR;
      if (c == ZRUB0) return 0x7F;
      if (c == ZRUB1) return 0xFF;
      if (c == XON || c == XOFF || c == 0x91 || c == 0x93) continue;
      if (state_.escapeControls && IsControl(c)) continue;
      if ((c & 0x60) == 0x40) return c ^ 0x40;
      return -1;
    }
  }
}

void CZmodem::FlushTx() {
  // A write that does not get out marks the line failed, and LineDown ends the session.
  if (txLen_) static_cast<void>(WriteCommBlock(tx_.data(), static_cast<uint32_t>(txLen_)));
  txLen_ = 0;
}

void CZmodem::PutRaw(int c) {
  if (txLen_ < tx_.size()) tx_[txLen_++] = static_cast<uint8_t>(c);
}

void CZmodem::PutEscaped(int c) {
  c &= 0xFF;
  if (!IsControl(c)) {
    PutRaw(c);
    return;
  }
  bool escape = false;
  switch (c) {
    case ZDLE:
    case 0x10:
    case 0x11:
    case 0x13:
    case 0x90:
    case 0x91:
    case 0x93: escape = true; break;
    case 0x0D:
    case 0x8D:
      // Telenet's "@ CR" escape sequence must not appear on the line.
      escape = state_.escapeControls || (txLen_ > 0 && (tx_[txLen_ - 1] & 0x7F) == 0x40);
      break;
    default: escape = state_.escapeControls != 0; break;
  }
  if (escape) {
    PutRaw(ZDLE);
    PutRaw(c ^ 0x40);
  } else {
    PutRaw(c);
  }
}

void CZmodem::PutHex(int c) {
  static const char kDigits[] = "0123456789abcdef";
  PutRaw(kDigits[(c >> 4) & 0x0F]);
  PutRaw(kDigits[c & 0x0F]);
}

void CZmodem::StorePos(uint8_t* hdr, int32_t pos) {
  const uint32_t u = static_cast<uint32_t>(pos);
  hdr[ZP0] = static_cast<uint8_t>(u);
  hdr[ZP1] = static_cast<uint8_t>(u >> 8);
  hdr[ZP2] = static_cast<uint8_t>(u >> 16);
  hdr[ZP3] = static_cast<uint8_t>(u >> 24);
}

int32_t CZmodem::LoadPos(const uint8_t* hdr) {
  const uint32_t u = uint32_t(hdr[ZP0]) | uint32_t(hdr[ZP1]) << 8 | uint32_t(hdr[ZP2]) << 16 | uint32_t(hdr[ZP3]) << 24;
  return static_cast<int32_t>(u);
}

void CZmodem::SendHexHeader(int length, int type, const uint8_t* hdr) {
  ClearTx();
  AppendHexHeader(length, type, hdr);
  FlushTx();
}

void CZmodem::AppendHexHeader(int length, int type, const uint8_t* hdr) {
  if (type == ZRQINIT) {
    PutRaw('r');
    PutRaw('z');
    PutRaw('\r');
  }
  PutRaw(ZPAD);
  PutRaw(ZPAD);
  PutRaw(ZDLE);
  if (state_.useVarHeaders) {
    PutRaw(ZVHEX);
    PutHex(length);
  } else {
    PutRaw(ZHEX);
  }
  PutHex(type);
  state_.frameCrc = 0;
  uint16_t crc = Crc16Update(0, static_cast<uint8_t>(type));
  for (int i = 0; i < length; ++i) {
    PutHex(hdr[i]);
    crc = Crc16Update(crc, hdr[i]);
  }
  crc = Crc16Update(Crc16Update(crc, 0), 0);
  PutHex(crc >> 8);
  PutHex(crc & 0xFF);
  PutRaw(0x0D);
  PutRaw(0x8A);
  if (type != ZFIN && type != ZACK) PutRaw(XON);
}

void CZmodem::SendBinaryHeader(int length, int type, const uint8_t* hdr) {
  ClearTx();
  if (type == ZDATA)
    for (int i = 0; i < state_.zdataNulls; ++i) PutRaw(0);
  PutRaw(ZPAD);
  PutRaw(ZDLE);
  state_.frameCrc = state_.txCrc32;
  if (state_.frameCrc) {
    PutRaw(state_.useVarHeaders ? ZVBIN32 : ZBIN32);
    if (state_.useVarHeaders) PutEscaped(length);
    PutEscaped(type);
    uint32_t crc = Crc32Update(0xFFFFFFFFu, static_cast<uint8_t>(type));
    for (int i = 0; i < length; ++i) {
      PutEscaped(hdr[i]);
      crc = Crc32Update(crc, hdr[i]);
    }
    crc = ~crc;
    for (int i = 0; i < 4; ++i) PutEscaped(static_cast<int>((crc >> (8 * i)) & 0xFF));
  } else {
    PutRaw(state_.useVarHeaders ? ZVBIN : ZBIN);
    if (state_.useVarHeaders) PutEscaped(length);
    PutEscaped(type);
    uint16_t crc = Crc16Update(0, static_cast<uint8_t>(type));
    for (int i = 0; i < length; ++i) {
      PutEscaped(hdr[i]);
      crc = Crc16Update(crc, hdr[i]);
    }
    crc = Crc16Update(Crc16Update(crc, 0), 0);
    PutEscaped(crc >> 8);
    PutEscaped(crc & 0xFF);
  }
  FlushTx();
}

int CZmodem::ReceiveHeader(uint8_t* hdr) {
  // A variable header may carry up to 16 bytes; the caller's array holds four.
  uint8_t body[16] = {};
  for (;;) {
    // Hunt for ZPAD.
    int c = ReadByte();
    if (c < 0) return -1;
    if (c != ZPAD && c != (ZPAD | 0x80)) continue;
    do {
      c = ReadStripped();
    } while (c == ZPAD);
    if (c < 0) return -1;
    if (c != ZDLE) continue;

    c = ReadStripped();
    bool hex = false, crc32 = false;
    int n = 4;
    if (c == ZBIN || c == ZBINALT) {
    } else if (c == ZHEX) {
      hex = true;
    } else if (c == ZBIN32) {
      if (state_.useVarHeaders) continue;
      crc32 = true;
    } else if (c == ZVHEX) {
      n = ReadHexByte();
      if (n < 0 || n > 16) continue;
      hex = true;
    } else {
      return -1;
    }
    rxCrc32_ = crc32;

    int type;
    if (hex) {
      type = ReadHexByte();
      if (type < 0) return type;
      uint16_t crc = Crc16Update(0, static_cast<uint8_t>(type));
      for (int i = 0; i < n + 2; ++i) {
        int v = ReadHexByte();
        if (v < 0) return v;
        if (i < n) body[i] = static_cast<uint8_t>(v);
        crc = Crc16Update(crc, static_cast<uint8_t>(v));
      }
      if (crc != 0) return ZHDR_BADCRC;
      c = ReadByte();
      if (c == 0x0D || c == 0x8D) c = ReadByte();
      if (c < 0) return -1;
    } else {
      type = ReadEscaped();
      if (type < 0 || type > 255) return type;
      const int crcBytes = crc32 ? 4 : 2;
      uint16_t crc16 = Crc16Update(0, static_cast<uint8_t>(type));
      uint32_t crc = Crc32Update(0xFFFFFFFFu, static_cast<uint8_t>(type));
      for (int i = 0; i < n + crcBytes; ++i) {
        int v = ReadEscaped();
        if (v < 0 || v > 255) return v;
        if (i < n) body[i] = static_cast<uint8_t>(v);
        crc16 = Crc16Update(crc16, static_cast<uint8_t>(v));
        crc = Crc32Update(crc, static_cast<uint8_t>(v));
      }
      if (crc32 ? crc != kCrc32Residue : crc16 != 0) return ZHDR_BADCRC;
    }
    // Bytes beyond the fourth of a long header are dropped.
    for (int i = 0; i < 4; ++i) hdr[i] = i < n ? body[i] : 0;
    return type;
  }
}

void CZmodem::SendSubpacket(const uint8_t* data, int length, int terminator) {
  if (length < 0) length = 0;
  if (length > kZmodemMaxSubpacket) length = kZmodemMaxSubpacket;
  ClearTx();
  if (state_.frameCrc) {
    uint32_t crc = 0xFFFFFFFFu;
    for (int i = 0; i < length; ++i) {
      PutEscaped(data[i]);
      crc = Crc32Update(crc, data[i]);
    }
    PutRaw(ZDLE);
    PutRaw(terminator);
    crc = ~Crc32Update(crc, static_cast<uint8_t>(terminator));
    for (int i = 0; i < 4; ++i) PutEscaped(static_cast<int>((crc >> (8 * i)) & 0xFF));
  } else {
    uint16_t crc = 0;
    for (int i = 0; i < length; ++i) {
      PutEscaped(data[i]);
      crc = Crc16Update(crc, data[i]);
    }
    PutRaw(ZDLE);
    PutRaw(terminator);
    crc = Crc16Update(crc, static_cast<uint8_t>(terminator));
    crc = Crc16Update(Crc16Update(crc, 0), 0);
    PutEscaped(crc >> 8);
    PutEscaped(crc & 0xFF);
  }
  if (terminator == ZCRCW) PutRaw(XON);
  FlushTx();
}

int CZmodem::ReceiveSubpacket(uint8_t* buf, int maxLength) {
  state_.rxCount = 0;
  const bool crc32 = rxCrc32_;
  uint16_t crc16 = 0;
  uint32_t crc = 0xFFFFFFFFu;
  int n = 0;
  for (;;) {
    int c = ReadEscaped();
    if (c >= 0 && c <= 255) {
      if (n >= maxLength) return ZSUB_BAD;
      buf[n++] = static_cast<uint8_t>(c);
      crc16 = Crc16Update(crc16, static_cast<uint8_t>(c));
      crc = Crc32Update(crc, static_cast<uint8_t>(c));
      continue;
    }
    if (c >= GOTCRCE && c <= GOTCRCW) {
      const int end = c;
      crc16 = Crc16Update(crc16, static_cast<uint8_t>(end & 0xFF));
      crc = Crc32Update(crc, static_cast<uint8_t>(end & 0xFF));
      for (int i = 0; i < (crc32 ? 4 : 2); ++i) {
        c = ReadEscaped();
        if (c == GOTCAN) return ZSUB_CANCELLED;
        if (c < 0) return ZSUB_TIMEOUT;
        if (c > 255)  // a terminator where a CRC byte belongs
          return crc32 ? ZSUB_BADCRC32 : ZSUB_BAD;
        crc16 = Crc16Update(crc16, static_cast<uint8_t>(c));
        crc = Crc32Update(crc, static_cast<uint8_t>(c));
      }
      if (crc32 ? crc != kCrc32Residue : crc16 != 0) return crc32 ? ZSUB_BADCRC32 : ZSUB_BAD;
      state_.rxCount = n;
      return end;
    }
    if (c == GOTCAN) return ZSUB_CANCELLED;
    return ZSUB_TIMEOUT;
  }
}

}  // namespace pelagor
