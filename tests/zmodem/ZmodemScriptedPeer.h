#pragma once

// A scripted far end: a CZmodem on the master side of a PtyLine used only for its framing,
// driven step by step by the test while the session under test runs on its own worker.
#include "Zmodem32/CZmodem.h"
#include "Zmodem32/ZmodemProtocol.h"
#include "zmodem/ZmodemTestSupport.h"

#include <string>

namespace zmtest {

class ScriptedPeer {
 public:
  explicit ScriptedPeer(PtyLine& line, pelagor::LinkTiming timing = FastTiming(2, 500)) : m_zm(timing) {
    m_zm.AttachHandle(line.Master());
  }
  ~ScriptedPeer() { m_zm.DetachHandle(); }

  pelagor::CZmodem& Zm() { return m_zm; }

  // Next header's type; its four bytes are left in Hdr().
  int Header() { return m_zm.ReceiveHeader(m_hdr); }
  const uint8_t* Hdr() const { return m_hdr; }
  int32_t Pos() const { return pelagor::CZmodem::LoadPos(m_hdr); }
  // Next header of the given type, skipping others (at most a few).
  bool Expect(int type, int tries = 8) {
    for (int i = 0; i < tries; ++i)
      if ((Header() & 0xFF) == type) return true;
    return false;
  }
  // A subpacket after a header; data left in Data().
  int Subpacket() {
    m_data.assign(1024, 0);
    int st = m_zm.ReceiveSubpacket(m_data.data(), 1024);
    m_data.resize(size_t(m_zm.State().rxCount));
    return st;
  }
  const Bytes& Data() const { return m_data; }

  void Hex(int type, int32_t pos = 0) {
    uint8_t h[4];
    pelagor::CZmodem::StorePos(h, pos);
    m_zm.SendHexHeader(4, type, h);
  }
  void HexFlags(int type, uint8_t zf0, uint8_t zf1 = 0) {
    const uint8_t h[4] = {0, 0, zf1, zf0};
    m_zm.SendHexHeader(4, type, h);
  }
  void Bin(int type, int32_t pos = 0) {
    uint8_t h[4];
    pelagor::CZmodem::StorePos(h, pos);
    m_zm.SendBinaryHeader(4, type, h);
  }
  void Sub(const Bytes& data, int terminator) { m_zm.SendSubpacket(data.data(), int(data.size()), terminator); }
  // A hex header of the type whose CRC does not check, as a line hit makes it.
  void DamagedHex(int type, int32_t pos = 0) {
    uint8_t h[4];
    pelagor::CZmodem::StorePos(h, pos);
    char text[32];
    std::snprintf(text, sizeof text,
                  "**\x18"
                  "B%02x%02x%02x%02x%02x%04x\r\x8a\x11",
                  type, h[0], h[1], h[2], h[3], 0xdead);
    Raw(std::string(text));
  }
  // The line is attached; what the session under test makes of the bytes is checked.
  void Raw(const std::string& bytes) { static_cast<void>(m_zm.WriteCommBlock(bytes.data(), uint32_t(bytes.size()))); }
  void FileInfo(const std::string& name, const std::string& info) {
    Bytes b(name.begin(), name.end());
    b.push_back(0);
    b.insert(b.end(), info.begin(), info.end());
    b.push_back(0);
    Bin(pelagor::ZFILE);
    Sub(b, pelagor::ZCRCW);
  }

 private:
  pelagor::CZmodem m_zm;
  uint8_t m_hdr[4] = {};
  Bytes m_data;
};

// Counts the hex headers of a type in raw wire bytes ("**" ZDLE 'B' and two hex digits).
inline int CountHexHeaders(const Bytes& wire, int type) {
  char tag[3];
  std::snprintf(tag, sizeof tag, "%02x", type);
  const std::string s(wire.begin(), wire.end());
  const std::string needle = std::string(
                                 "**\x18"
                                 "B") +
                             tag + "000000";
  int n = 0;
  for (size_t at = s.find(needle); at != std::string::npos; at = s.find(needle, at + 1)) ++n;
  return n;
}

// Length of the longest run of CAN bytes in the wire bytes.
inline int LongestCanRun(const Bytes& wire) {
  int best = 0, run = 0;
  for (uint8_t c : wire) {
    run = c == 0x18 ? run + 1 : 0;
    best = std::max(best, run);
  }
  return best;
}

}  // namespace zmtest
