// make_zmodem_seeds DIR: what a sender puts on the line for one file, built
// with the engine's own framing (CRC-32 and CRC-16 frames, an empty file and
// one of several subpackets), as seeds for fuzz_zmodem_receiver.

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Zmodem32/CZmodem.h"
#include "Zmodem32/ZmodemProtocol.h"

using namespace pelagor;

namespace {

std::vector<uint8_t> SenderStream(const std::vector<uint8_t>& file, bool crc32) {
  int fd[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fd) != 0) return {};
  const int room = 1 << 20;
  ::setsockopt(fd[0], SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
  ::setsockopt(fd[1], SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
  {
    CZmodem zm;
    zm.AttachHandle(fd[0]);
    ZmodemState& st = zm.MutableState();
    st.txCrc32 = crc32 ? 1 : 0;
    st.zdataNulls = 10;
    const uint8_t zero[4] = {0, 0, 0, 0};
    uint8_t pos[4];
    static_cast<void>(zm.WriteCommBlock("rz\r", 3));  // the socket is attached
    zm.SendHexHeader(4, ZRQINIT, zero);
    zm.SendBinaryHeader(4, ZFILE, zero);
    zm.FlushTx();
    const std::string info = std::to_string(file.size()) + " 0 0 0 1 " + std::to_string(file.size()) + " 0";
    std::vector<uint8_t> block{'s', 'e', 'e', 'd', '.', 'b', 'i', 'n', 0};
    block.insert(block.end(), info.begin(), info.end());
    block.push_back(0);
    zm.SendSubpacket(block.data(), int(block.size()), ZCRCW);
    CZmodem::StorePos(pos, 0);
    zm.SendBinaryHeader(4, ZDATA, pos);
    zm.FlushTx();
    size_t at = 0;
    do {
      const size_t n = std::min<size_t>(1024, file.size() - at);
      const bool last = at + n >= file.size();
      zm.SendSubpacket(file.data() + at, int(n), last ? ZCRCE : ZCRCG);
      at += n;
    } while (at < file.size());
    CZmodem::StorePos(pos, int32_t(file.size()));
    zm.SendHexHeader(4, ZEOF, pos);
    zm.SendHexHeader(4, ZFIN, zero);
    static_cast<void>(zm.WriteCommBlock("OO", 2));
    zm.DetachHandle();
  }
  std::vector<uint8_t> out;
  uint8_t buf[4096];
  ::fcntl(fd[1], F_SETFL, O_NONBLOCK);
  for (ssize_t r; (r = ::read(fd[1], buf, sizeof buf)) > 0;) out.insert(out.end(), buf, buf + r);
  ::close(fd[0]);
  ::close(fd[1]);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_zmodem_seeds DIR\n");
    return 2;
  }
  std::filesystem::create_directories(argv[1]);
  std::vector<uint8_t> several(2500);
  for (size_t i = 0; i < several.size(); ++i) several[i] = uint8_t(i * 7 + (i >> 3));  // controls included
  const struct {
    const char* name;
    std::vector<uint8_t> file;
    bool crc32;
  } seeds[] = {{"seed-crc32.zm", several, true}, {"seed-crc16.zm", several, false}, {"seed-empty.zm", {}, true}};
  for (const auto& s : seeds) {
    const std::vector<uint8_t> bytes = SenderStream(s.file, s.crc32);
    std::ofstream f(std::filesystem::path(argv[1]) / s.name, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (bytes.empty() || !f) return 1;
  }
  return 0;
}
