#pragma once
// ZMODEM's protocol bytes, frame types, header positions and capability flags.

#include <cstdint>

namespace pelagor {

// Protocol bytes of ZMODEM.
inline constexpr int ZPAD = 0x2A;
inline constexpr int ZDLE = 0x18;
inline constexpr int ZDLEE = 0x58;
inline constexpr int CAN = 0x18;
inline constexpr int XON = 0x11;
inline constexpr int XOFF = 0x13;
inline constexpr int ZBIN = 'A';
inline constexpr int ZHEX = 'B';
inline constexpr int ZBIN32 = 'C';
inline constexpr int ZBINALT = 'D';
inline constexpr int ZVBIN = 'a';
inline constexpr int ZVHEX = 'b';
inline constexpr int ZVBIN32 = 'c';
inline constexpr int ZCRCE = 'h';
inline constexpr int ZCRCG = 'i';
inline constexpr int ZCRCQ = 'j';
inline constexpr int ZCRCW = 'k';
inline constexpr int ZRUB0 = 'l';
inline constexpr int ZRUB1 = 'm';

// Special results of ReadEscaped: a terminator letter plus 0x100, or the peer's cancel.
inline constexpr int GOTOR = 0x100;
inline constexpr int GOTCRCE = ZCRCE | GOTOR;
inline constexpr int GOTCRCG = ZCRCG | GOTOR;
inline constexpr int GOTCRCQ = ZCRCQ | GOTOR;
inline constexpr int GOTCRCW = ZCRCW | GOTOR;
inline constexpr int GOTCAN = GOTOR | CAN;

// Subpacket failures besides the terminator codes.
inline constexpr int ZSUB_BAD = 0;          // too long, or CRC-16 mismatch
inline constexpr int ZSUB_BADCRC32 = 'C';   // CRC-32 mismatch
inline constexpr int ZSUB_CANCELLED = 'A';  // ZDLE and four CAN inside the data
inline constexpr int ZSUB_TIMEOUT = 'T';    // time-out, stop or invalid escape

// ReceiveHeader result for a header whose CRC does not check.
inline constexpr int ZHDR_BADCRC = 67;

// Frame types.
enum ZFrameType : int {
  ZRQINIT = 0,
  ZRINIT = 1,
  ZSINIT = 2,
  ZACK = 3,
  ZFILE = 4,
  ZSKIP = 5,
  ZNAK = 6,
  ZABORT = 7,
  ZFIN = 8,
  ZRPOS = 9,
  ZDATA = 10,
  ZEOF = 11,
  ZFERR = 12,
  ZCRC = 13,
  ZCHALLENGE = 14,
  ZCOMPL = 15,
  ZCAN = 16,
  ZFREECNT = 17,
  ZCOMMAND = 18,
  ZSTDERR = 19,
};

// Header byte positions: a position is little-endian in bytes 0..3; flags count from the end.
inline constexpr int ZP0 = 0;
inline constexpr int ZP1 = 1;
inline constexpr int ZP2 = 2;
inline constexpr int ZP3 = 3;
inline constexpr int ZF0 = 3;
inline constexpr int ZF1 = 2;

// ZRINIT flags.
inline constexpr uint8_t CANFDX = 0x01;
inline constexpr uint8_t CANOVIO = 0x02;
inline constexpr uint8_t CANFC32 = 0x20;
inline constexpr uint8_t TESCCTL = 0x40;
inline constexpr uint8_t CANVHDR = 0x01;  // in ZF1

// Largest data subpacket the engine sends or accepts.
inline constexpr int kZmodemMaxSubpacket = 1024;

}  // namespace pelagor
