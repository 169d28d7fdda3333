#include "files/DownloadImage.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "files/ChannelSection.h"
#include "files/Crc32.h"

namespace pelagor {

namespace {

constexpr size_t kPrefixSize = 8;
constexpr std::string_view kProviderTag = "HDPRVINF";

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

bool SlotInUse(const uint8_t* body, int s) {
  return (Le32(body + kSatSlotBitmapOffset + 4 * size_t(s / 32)) >> (s % 32)) & 1u;
}

// Whether the satellites in use form the ring the count and first byte
// describe, reading the link words at the offset of the given form.
bool SatelliteRingValid(const uint8_t* body, ChannelForm form) {
  const int count = body[kSatCountOffset];
  const int first = body[kFirstSatOffset];
  if (count == 0) return first == kNoSat;
  if (!DbImage::ValidSat(first) || !SlotInUse(body, first)) return false;
  const size_t linkOff = form == ChannelForm::kPacked ? kPackedSatLinkWord : sat::kLinkWord;
  auto linkOf = [&](int s) { return Le32(body + DbImage::SatOffset(s) + linkOff); };
  int s = first;
  for (int i = 0; i < count; ++i) {
    const uint32_t link = linkOf(s);
    const uint32_t delivery = satlink::kDelivery.Get(link);
    const int next = int(satlink::kNext.Get(link));
    if (delivery < kDeliverySatellite || delivery > kDeliveryCable) return false;
    if (!DbImage::ValidSat(next) || !SlotInUse(body, next)) return false;
    if (int(satlink::kPrev.Get(linkOf(next))) != s) return false;
    s = next;
    if (s == first && i != count - 1) return false;  // a shorter ring
  }
  return s == first;
}

// Whether every tuner word carries the marker bit where the unpacked form
// keeps it: what the writer leaves in every satellite, TP and channel record
// of a file written for models 4-6. In a packed body the byte at satellite
// offset 32 is the middle of the tuner word, which has no reason to be odd
// in all 200 records, and files written for models 1-3 carry TP and channel
// markers of 0.
bool UnpackedMarkersSet(const uint8_t* body) {
  for (int s = 0; s < kMaxSats; ++s)
    if (!(body[DbImage::SatOffset(s) + sat::kTunerWord] & 1u)) return false;
  for (int t = 0; t < kMaxTps; ++t)
    if (!(body[DbImage::TpOffset(t) + tp::kTunerWord] & 1u)) return false;
  for (int c = 0; c < kMaxChans; ++c)
    if (!(body[DbImage::ChanOffset(c) + chan::kTunerWord] & 1u)) return false;
  return true;
}

// The tag a section is written with: the model's own, else the loaded one,
// else (model 4 only) the model's usual tag. Empty when there is none: a
// section without a tag would make a file no reader accepts.
std::string_view TagToWrite(std::string_view modelTag, const SectionHeader& loaded, ModelId model,
                            std::string_view model4Tag) {
  if (!modelTag.empty()) return modelTag;
  bool blank = true;
  for (char c : loaded.Tag())
    if (c != 0) blank = false;
  if (!blank) return loaded.Tag();
  return model == 4 ? model4Tag : std::string_view{};
}

// Pushes the written bytes to the disk before the rename makes them the file.
bool FlushToDisk(std::FILE* f) {
  if (std::fflush(f) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return fsync(fileno(f)) == 0;
#endif
}

bool TagIsEmpty(const SectionHeader& h) {
  for (char c : h.Tag())
    if (c != 0) return false;
  return true;
}

void AppendHeader(std::vector<uint8_t>& out, SectionHeader h, uint32_t crc, size_t length) {
  h.SetCrc(crc);
  h.SetLength(uint32_t(length));
  out.insert(out.end(), h.Data(), h.Data() + kSectionHeaderSize);
}

}  // namespace

ChannelForm DetectChannelForm(const uint8_t* body, int kind) {
  const ModelId model = ModelOfChannelKind(kind);
  if (model == 7 || model == 8) return ChannelForm::kUnpacked;
  if (model >= 1 && model <= 3) return ChannelForm::kPacked;
  // Models 4-6 have been seen in both forms. Our own files say which by
  // their marker bits, whatever state the satellite ring is in; for the
  // others take the form under which the satellites make a sound ring, the
  // packed form when that does not decide.
  if (UnpackedMarkersSet(body)) return ChannelForm::kUnpacked;
  const bool packed = SatelliteRingValid(body, ChannelForm::kPacked);
  const bool unpacked = SatelliteRingValid(body, ChannelForm::kUnpacked);
  if (unpacked && !packed) return ChannelForm::kUnpacked;
  return ChannelForm::kPacked;
}

ParseResult ParseDownloadImage(Workspace& ws, const uint8_t* data, size_t length) {
  ParseResult result;
  if (length == 0) {
    result.accepted = true;
    return result;
  }
  Workspace scratch(ws);
  size_t pos = 0;
  std::vector<uint8_t> dump;
  while (pos < length) {
    if (length - pos < kSectionHeaderSize) return result;
    const SectionHeader header(data + pos);
    const size_t bodyLength = header.Length();
    const uint8_t* body = data + pos + kSectionHeaderSize;
    if (bodyLength > length - pos - kSectionHeaderSize) return result;
    const int kind = ClassifySectionTag(data + pos);
    if (IsChannelKind(kind)) {
      if (bodyLength < kImageSize) return result;
      ReadChannelBody(body, DetectChannelForm(body, kind), *scratch.image);
      scratch.channelHeader = header;
      scratch.model = ModelOfChannelKind(kind);
    } else if (IsSatelliteKind(kind)) {
      if (bodyLength < kPrefixSize) return result;
      if (!scratch.catalogue.Load(body + kPrefixSize, bodyLength - kPrefixSize)) return result;
      std::memcpy(scratch.satellitePrefix.data(), body, kPrefixSize);
      scratch.satelliteHeader = header;
      dump.assign(body, body + kPrefixSize + kCatalogueBlockSize);
    } else if (kind == kKindProvider) {
      if (bodyLength > kProviderTableSize) return result;
      // Cannot be refused: the length was checked just above.
      static_cast<void>(scratch.providers.Load(body, bodyLength, ModelInfoFor(scratch.model).providerBigEndian));
      scratch.providerHeader = header;
      scratch.providerPresent = true;
    } else if (kind != kKindRawData) {
      return result;
    }
    pos += kSectionHeaderSize + bodyLength;
  }
  ws = std::move(scratch);
  result.accepted = true;
  result.satelliteDump = std::move(dump);
  return result;
}

std::vector<uint8_t> BuildDownloadImage(const Workspace& ws) {
  std::vector<uint8_t> out;
  if (!ws.catalogue.Present()) return out;
  const ModelInfo& info = ModelInfoFor(ws.model);

  std::vector<uint8_t> satBody(ws.satellitePrefix.begin(), ws.satellitePrefix.end());
  const std::vector<uint8_t> block = ws.catalogue.Build();
  satBody.insert(satBody.end(), block.begin(), block.end());
  const std::string_view satTag = TagToWrite(info.satelliteTag, ws.satelliteHeader, ws.model, "M_3920ST");
  std::string_view chanTag = TagToWrite(info.channelTag, ws.channelHeader, ws.model, "M_3920CH");
  // Model 4 keeps its loaded tag only when that tag reads back as model 4:
  // another model's channel tag would be read in that model's form.
  if (ws.model == 4 && ModelOfChannelKind(ClassifySectionTag(ws.channelHeader.Data())) != 4) chanTag = "M_3920CH";
  if (satTag.empty() || chanTag.empty()) return out;
  SectionHeader satHeader = ws.satelliteHeader;
  satHeader.SetTag(std::string(satTag));

  const std::vector<uint8_t> chanBody = BuildChannelBody(*ws.image, ws.model);
  SectionHeader chanHeader = ws.channelHeader;
  chanHeader.SetTag(std::string(chanTag));

  out.reserve(3 * kSectionHeaderSize + satBody.size() + chanBody.size() + kProviderTableSize);
  // Lengths are those of the bodies written, whatever the loaded headers said.
  AppendHeader(out, satHeader, Crc32(satBody.data(), satBody.size()), satBody.size());
  out.insert(out.end(), satBody.begin(), satBody.end());
  AppendHeader(out, chanHeader, Crc32(chanBody.data(), chanBody.size()), chanBody.size());
  out.insert(out.end(), chanBody.begin(), chanBody.end());
  if (ws.providerPresent) {
    const std::vector<uint8_t> provBody = ws.providers.Build(info.providerBigEndian);
    SectionHeader provHeader = ws.providerHeader;
    if (TagIsEmpty(provHeader)) provHeader.SetTag(kProviderTag);
    AppendHeader(out, provHeader, Crc32(provBody.data(), provBody.size()), provBody.size());
    out.insert(out.end(), provBody.begin(), provBody.end());
  }
  return out;
}

bool WriteDownloadImage(const Workspace& ws, const std::string& path) {
  const std::vector<uint8_t> bytes = BuildDownloadImage(ws);
  if (bytes.empty()) return false;
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path temp = target;
  temp += ".pelagor-tmp";
  std::error_code ec;
  std::FILE* f = std::fopen(temp.string().c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = FlushToDisk(f) && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok) fs::rename(temp, target, ec);
  if (!ok || ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace pelagor
