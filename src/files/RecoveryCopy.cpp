#include "files/RecoveryCopy.h"

#include <cstring>

#include "files/Crc32.h"

namespace pelagor {

namespace {

// Name and layout version; a later layout gets a new version and is not read.
constexpr char kMagic[8] = {'P', 'L', 'G', 'R', 'E', 'C', 'V', '1'};
// Far above any download image or path: a length beyond it is damage.
constexpr uint32_t kMaxPart = 64u << 20;

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

void Put64(std::vector<uint8_t>& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  bool Get32(uint32_t& v) {
    if (n_ - at_ < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(p_[at_++]) << (8 * i);
    return true;
  }
  bool Get64(uint64_t& v) {
    if (n_ - at_ < 8) return false;
    v = 0;
    for (int i = 0; i < 8; ++i) v |= uint64_t(p_[at_++]) << (8 * i);
    return true;
  }
  bool Bytes(size_t count, const uint8_t*& out) {
    if (n_ - at_ < count) return false;
    out = p_ + at_;
    at_ += count;
    return true;
  }
  size_t At() const { return at_; }

 private:
  const uint8_t* p_;
  size_t n_;
  size_t at_ = 0;
};

}  // namespace

std::vector<uint8_t> SerialiseRecoveryCopy(const RecoveryCopy& copy) {
  std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
  Put32(out, uint32_t(copy.model));
  Put64(out, uint64_t(copy.savedAt));
  Put32(out, uint32_t(copy.path.size()));
  out.insert(out.end(), copy.path.begin(), copy.path.end());
  Put32(out, uint32_t(copy.image.size()));
  out.insert(out.end(), copy.image.begin(), copy.image.end());
  Put32(out, Crc32(out.data(), out.size()));
  return out;
}

bool ParseRecoveryCopy(const uint8_t* data, size_t length, RecoveryCopy& out) {
  if (data == nullptr || length < sizeof kMagic + 4 || std::memcmp(data, kMagic, sizeof kMagic) != 0) return false;
  const size_t body = length - 4;
  Reader crc(data + body, 4);
  uint32_t stored = 0;
  if (!crc.Get32(stored) || stored != Crc32(data, body)) return false;
  Reader r(data + sizeof kMagic, body - sizeof kMagic);
  uint32_t model = 0, pathLength = 0, imageLength = 0;
  uint64_t savedAt = 0;
  const uint8_t* path = nullptr;
  const uint8_t* image = nullptr;
  if (!r.Get32(model) || !r.Get64(savedAt) || !r.Get32(pathLength) || pathLength > kMaxPart ||
      !r.Bytes(pathLength, path) || !r.Get32(imageLength) || imageLength > kMaxPart || !r.Bytes(imageLength, image))
    return false;
  // Nothing may follow the image but the check value.
  if (r.At() != body - sizeof kMagic) return false;
  out.model = ModelId(model);
  out.savedAt = int64_t(savedAt);
  out.path.assign(reinterpret_cast<const char*>(path), pathLength);
  out.image.assign(image, image + imageLength);
  return true;
}

std::string RecoveryQuestion(const RecoveryCopy& copy, const std::string& when) {
  const size_t cut = copy.path.find_last_of("\\/");
  std::string name = cut == std::string::npos ? copy.path : copy.path.substr(cut + 1);
  if (name.empty()) name = "New Channel List";
  return "Recover the unsaved changes of " + when + " (" + name + ")?";
}

}  // namespace pelagor
