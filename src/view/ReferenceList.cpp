#include "view/ReferenceList.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "db/DbOps.h"
#include "files/WorkspaceLoad.h"
#include "view/ChannelNameCodec.h"
#include "view/CsvReader.h"
#include "view/RecordText.h"

namespace pelagor {

namespace {

std::string Trim(std::string_view s) {
  const size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  const size_t e = s.find_last_not_of(" \t");
  return std::string(s.substr(b, e - b + 1));
}

std::string Key(std::string_view text) { return FoldCase(Trim(text)); }

// Distance of two orbital positions in tenths, across 0 and 180 degrees.
int PositionDistance(int a, int b) {
  const int d = std::abs(a - b) % 3600;
  return std::min(d, 3600 - d);
}

int SatellitePosition(const Workspace& ws, int s) {
  const uint8_t k = ws.image->SatCatalogueIndex(s);
  if (!ws.catalogue.Present() || k >= kCatalogueEntries) return -1;
  if (k >= ws.catalogue.count && k < DbOps::PseudoSatIndex(false)) return -1;
  const int p = ws.catalogue.entries[k].position;
  return p < 3600 ? p : -1;
}

bool ParseInt(std::string_view text, int& out) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  int v = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end != t.data() + t.size()) return false;
  out = v;
  return true;
}

// "19.2E", "5W", "0.8 W": tenths of a degree, west above 1800; -1 otherwise.
int ParseOrbitalPosition(std::string_view text) {
  std::string t = Trim(text);
  if (t.size() < 2) return -1;
  const char dir = char(std::toupper(static_cast<unsigned char>(t.back())));
  if (dir != 'E' && dir != 'W') return -1;
  t = Trim(std::string_view(t).substr(0, t.size() - 1));
  int whole = 0, tenth = 0;
  const size_t dot = t.find('.');
  if (!ParseInt(std::string_view(t).substr(0, dot), whole) || whole < 0 || whole > 180) return -1;
  if (dot != std::string::npos) {
    const std::string frac = t.substr(dot + 1);
    if (frac.empty() || frac.find_first_not_of("0123456789") != std::string::npos) return -1;
    tenth = frac[0] - '0';
  }
  const int v = whole * 10 + tenth;
  if (v > 1800) return -1;
  return dir == 'E' ? v : (v == 0 ? 0 : 3600 - v);
}

ListChannel Describe(const Workspace& ws, int c) {
  const DbImage& img = *ws.image;
  ListChannel ch;
  ch.index = c;
  const uint8_t* field = img.ChanName(c);
  ch.name = ChannelNameText(field);
  ch.nameKey = Key(ch.name);
  ch.nameField.assign(reinterpret_cast<const char*>(field),
                      strnlen(reinterpret_cast<const char*>(field), chan::kNameSize));
  ch.nameTable = ChannelNameTable(field);
  ch.sid = img.ChanSid(c);
  ch.number = img.ChanNumber(c);
  const uint32_t word = img.ChanWord(c);
  ch.locked = int(chw::kLock.Get(word));
  ch.serviceType = chw::kServiceType.Get(word) == 0 ? 0 : 1;
  const int t = img.ChanTp(c);
  if (!img.TpInUse(t)) return ch;
  const int s = img.TpSat(t);
  if (!img.SatInUse(s)) return ch;
  ch.delivery = int(img.SatDelivery(s));
  ch.satellite = DecodeRecordText(img.SatName(s), sat::kNameSize);
  ch.satelliteKey = Key(ch.satellite);
  ch.position = SatellitePosition(ws, s);
  const int f = img.TpFrequency(t);
  const bool satellite = ch.delivery == int(kDeliverySatellite);
  ch.frequencyKhz = satellite ? f * 1000 : f * 100;
  ch.shownFrequency = satellite ? f : f * 100;
  ch.polarisation = int(img.TpWordField(t, tpw::kPolarisation));
  return ch;
}

ReportLine LineOf(const ListChannel& ch) { return {ch.name, ch.satellite, ch.shownFrequency, ch.sid}; }

uint32_t WithMasksOf(uint32_t word, uint32_t from) {
  word = tuner::kMaskA.Set(word, tuner::kMaskA.Get(from));
  return tuner::kMaskB.Set(word, tuner::kMaskB.Get(from));
}

bool EndsWithCsv(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& ch : tail) ch = char(std::tolower(static_cast<unsigned char>(ch)));
  return tail == ".csv";
}

}  // namespace

// ---- Lists ----

ReferenceList ListFromWorkspace(const Workspace& ws) {
  ReferenceList out;
  out.fromImage = true;
  out.hasNumber = out.hasSatellite = out.hasFrequency = out.hasPolarisation = true;
  out.hasSid = out.hasLock = out.hasFavourites = true;
  const DbImage& img = *ws.image;
  std::vector<int> position(kMaxChans, -1);
  out.channels.reserve(img.ChanCount());
  for (int i = 0; i < kMaxChans; ++i) {
    const uint16_t c = img.Order(i);
    if (c == kNoChan || !img.ChanInUse(c) || position[c] >= 0) continue;
    position[c] = int(out.channels.size());
    out.channels.push_back(Describe(ws, c));
  }
  for (int type = 0; type < 2; ++type) {
    for (int k = 0; k < kFavLists; ++k) {
      std::vector<int>& list = out.favouriteLists[size_t(type * kFavLists + k)];
      const int length = std::min<int>(img.FavLength(type, k), kFavEntries);
      for (int i = 0; i < length; ++i) {
        const uint16_t c = img.FavEntry(type, k, i);
        if (DbImage::ValidChan(c) && position[c] >= 0) list.push_back(position[c]);
      }
    }
  }
  for (int k = 0; k < kFavLists; ++k) {
    const char* name = reinterpret_cast<const char*>(img.FavName(k));
    out.favouriteNameFields[size_t(k)].assign(name, strnlen(name, kFavNameFieldSize));
  }
  return out;
}

bool ListFromCsv(std::string_view text, const Workspace& ws, ReferenceList& out, std::string& message) {
  out = ReferenceList{};
  std::vector<std::vector<std::string>> records;
  if (!ParseCsv(text, DetectCsvSeparator(text), records)) {
    message = "The reference list is not a valid CSV file (a quoted field is not closed).";
    return false;
  }
  auto column = [&](std::string_view heading) -> int {
    if (records.empty()) return -1;
    const std::vector<std::string>& h = records.front();
    for (size_t i = 0; i < h.size(); ++i)
      if (Trim(h[i]) == heading) return int(i);
    return -1;
  };
  const int nameCol = column("Chan Name");
  if (nameCol < 0) {
    message = "The reference list has no \"Chan Name\" column.";
    return false;
  }
  const int numberCol = column("Chan No."), satCol = column("Satellite"), freqCol = column("Freq.");
  const int polCol = column("Pol."), sidCol = column("SID"), lockCol = column("Lock"), favCol = column("Favorite");
  out.hasNumber = numberCol >= 0;
  out.hasSatellite = satCol >= 0;
  out.hasFrequency = freqCol >= 0;
  out.hasPolarisation = polCol >= 0;
  out.hasSid = sidCol >= 0;
  out.hasLock = lockCol >= 0;
  out.hasFavourites = favCol >= 0;

  // What the workspace knows of satellite names and favourite list names.
  const DbImage& img = *ws.image;
  std::unordered_map<std::string, std::pair<int, int>> satellites;  // key -> position, delivery
  for (int s = 0; s < kMaxSats; ++s) {
    if (!img.SatInUse(s)) continue;
    satellites.emplace(Key(DecodeRecordText(img.SatName(s), sat::kNameSize)),
                       std::make_pair(SatellitePosition(ws, s), int(img.SatDelivery(s))));
  }
  std::array<std::string, kFavLists> favKeys;
  for (int k = 0; k < kFavLists; ++k) favKeys[size_t(k)] = Key(DecodeRecordText(img.FavName(k), kFavNameFieldSize));

  for (size_t r = 1; r < records.size(); ++r) {
    const std::vector<std::string>& rec = records[r];
    auto cell = [&](int col) -> std::string_view {
      return col >= 0 && size_t(col) < rec.size() ? std::string_view(rec[size_t(col)]) : std::string_view();
    };
    ListChannel ch;
    ch.name = std::string(cell(nameCol));
    ch.nameKey = Key(ch.name);
    int v = 0;
    if (numberCol >= 0 && ParseInt(cell(numberCol), v) && v >= 0 && v <= 0xFFFF) ch.number = v;
    if (sidCol >= 0 && ParseInt(cell(sidCol), v) && v >= 0 && v <= 0xFFFF) ch.sid = v;
    if (satCol >= 0) {
      ch.satellite = Trim(cell(satCol));
      ch.satelliteKey = Key(ch.satellite);
      if (ch.satellite == "DVB-T") {
        ch.delivery = int(kDeliveryTerrestrial);
      } else if (ch.satellite == "DVB-C") {
        ch.delivery = int(kDeliveryCable);
      } else if (const int p = ParseOrbitalPosition(ch.satellite); p >= 0) {
        ch.position = p;
        ch.delivery = int(kDeliverySatellite);
      } else if (auto it = satellites.find(ch.satelliteKey); it != satellites.end()) {
        ch.position = it->second.first;
        ch.delivery = it->second.second;
      }
    }
    if (polCol >= 0) {
      const std::string p = Key(cell(polCol));
      if (p == "h")
        ch.polarisation = 1;
      else if (p == "v")
        ch.polarisation = 2;
      else if (p == "auto")
        ch.polarisation = 0;
      else if (p == "?")
        ch.polarisation = 3;
      else if (p == "-" && ch.delivery == 0)
        ch.delivery = -1;  // terrestrial or cable, not known which
    }
    if (freqCol >= 0 && ParseInt(cell(freqCol), v) && v >= 0) {
      ch.shownFrequency = v;
      const bool kilohertz = ch.delivery == int(kDeliveryTerrestrial) || ch.delivery == int(kDeliveryCable) ||
                             ch.delivery == -1 || (ch.delivery == 0 && v >= 30000);
      ch.frequencyKhz = kilohertz ? v : v * 1000;
    }
    if (ch.delivery == -1) ch.delivery = 0;
    if (lockCol >= 0) ch.locked = Trim(cell(lockCol)).empty() ? 0 : 1;
    if (favCol >= 0) {
      std::string_view names = cell(favCol);
      while (!names.empty()) {
        const size_t comma = names.find(',');
        const std::string key = Key(names.substr(0, comma));
        for (int k = 0; k < kFavLists; ++k)
          if (!key.empty() && key == favKeys[size_t(k)]) ch.favourites |= uint8_t(1u << k);
        if (comma == std::string_view::npos) break;
        names.remove_prefix(comma + 1);
      }
    }
    out.channels.push_back(std::move(ch));
  }
  return true;
}

bool LoadReferenceFile(const std::string& path, const Workspace& ws, ReferenceList& out, std::string& message) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, bytes)) {
    message = std::string(kFileOpenErrorText);
    return false;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const bool csvHeader =
      text.substr(0, std::min<size_t>(text.size(), 4096)).find("Chan Name") != std::string_view::npos;
  if (EndsWithCsv(path) || csvHeader) return ListFromCsv(text, ws, out, message);
  Workspace other;
  const LoadResult r = ApplyDownloadImage(other, bytes.data(), bytes.size());
  if (r != LoadResult::kLoaded) {
    message = std::string(LoadResultText(r));
    return false;
  }
  out = ListFromWorkspace(other);
  return true;
}

// ---- Matching ----

bool SameServiceKey(const ListChannel& a, const ListChannel& b, const ReferenceList& aList) {
  if (a.sid < 0 || a.sid != b.sid) return false;
  if (a.delivery != 0 && b.delivery != 0 && a.delivery != b.delivery) return false;
  const int delivery = a.delivery != 0 ? a.delivery : b.delivery;
  if (delivery == int(kDeliverySatellite) || delivery == 0) {
    if (aList.hasSatellite) {
      if (a.position >= 0 && b.position >= 0) {
        if (PositionDistance(a.position, b.position) > kSamePositionTenths) return false;
      } else if (a.satelliteKey != b.satelliteKey) {
        return false;
      }
    }
    if (aList.hasPolarisation && a.polarisation >= 0 && b.polarisation >= 0 && a.polarisation != b.polarisation)
      return false;
  }
  if (aList.hasFrequency && a.frequencyKhz >= 0) {
    if (b.frequencyKhz < 0 || std::abs(a.frequencyKhz - b.frequencyKhz) > kSameFrequencyKhz) return false;
  }
  return true;
}

MatchResult MatchLists(const ReferenceList& ref, const ReferenceList& list) {
  const std::vector<ListChannel>& R = ref.channels;
  const std::vector<ListChannel>& L = list.channels;
  MatchResult m;
  m.refToList.assign(R.size(), -1);
  m.listToRef.assign(L.size(), -1);
  m.pass.assign(R.size(), MatchPass::kNone);
  auto link = [&](size_t i, int j, MatchPass p) {
    m.refToList[i] = j;
    m.listToRef[size_t(j)] = int(i);
    m.pass[i] = p;
    ++m.matched[size_t(int(p) - 1)];
  };

  if (ref.hasSid) {
    // Pass 1: the service key.
    std::unordered_map<int, std::vector<int>> bySid;
    bySid.reserve(L.size());
    for (size_t j = 0; j < L.size(); ++j)
      if (L[j].sid >= 0) bySid[L[j].sid].push_back(int(j));
    for (size_t i = 0; i < R.size(); ++i) {
      if (R[i].sid < 0) continue;
      const auto it = bySid.find(R[i].sid);
      if (it == bySid.end()) continue;
      for (int j : it->second) {
        if (m.listToRef[size_t(j)] < 0 && SameServiceKey(R[i], L[size_t(j)], ref)) {
          link(i, j, MatchPass::kKey);
          break;
        }
      }
    }
    // Pass 2: same delivery system, SID and name (the service moved).
    std::unordered_map<std::string, std::vector<int>> bySidName;
    for (size_t j = 0; j < L.size(); ++j) {
      if (m.listToRef[j] >= 0 || L[j].sid < 0 || L[j].nameKey.empty()) continue;
      bySidName[std::to_string(L[j].sid) + '\n' + L[j].nameKey].push_back(int(j));
    }
    for (size_t i = 0; i < R.size(); ++i) {
      if (m.refToList[i] >= 0 || R[i].sid < 0 || R[i].nameKey.empty()) continue;
      const auto it = bySidName.find(std::to_string(R[i].sid) + '\n' + R[i].nameKey);
      if (it == bySidName.end()) continue;
      for (int j : it->second) {
        const ListChannel& l = L[size_t(j)];
        if (m.listToRef[size_t(j)] >= 0) continue;
        if (R[i].delivery != 0 && l.delivery != 0 && R[i].delivery != l.delivery) continue;
        link(i, j, MatchPass::kSidName);
        break;
      }
    }
  }

  // Pass 3: a name found once among the unmatched channels of each side.
  std::unordered_map<std::string, int> refCount;
  std::unordered_map<std::string, std::pair<int, int>> listCount;  // count, the one position
  for (size_t i = 0; i < R.size(); ++i)
    if (m.refToList[i] < 0 && !R[i].nameKey.empty()) ++refCount[R[i].nameKey];
  for (size_t j = 0; j < L.size(); ++j) {
    if (m.listToRef[j] >= 0 || L[j].nameKey.empty()) continue;
    auto& e = listCount[L[j].nameKey];
    ++e.first;
    e.second = int(j);
  }
  for (size_t i = 0; i < R.size(); ++i) {
    if (m.refToList[i] >= 0 || R[i].nameKey.empty() || refCount[R[i].nameKey] != 1) continue;
    const auto it = listCount.find(R[i].nameKey);
    if (it == listCount.end() || it->second.first != 1) continue;
    link(i, it->second.second, MatchPass::kName);
  }
  return m;
}

std::string ReportLineText(const ReportLine& line) {
  std::string s = line.name + '\t' + line.satellite + '\t';
  if (line.frequency >= 0) s += std::to_string(line.frequency);
  return s;
}

// ---- Apply ----

ApplyReport ApplyReference(Workspace& ws, const ReferenceList& ref, const ApplyOptions& options) {
  DbImage& img = *ws.image;
  DbOps ops(img);
  const ReferenceList list = ListFromWorkspace(ws);
  const MatchResult m = MatchLists(ref, list);
  ApplyReport report;
  report.matched = m.matched;
  for (size_t i = 0; i < ref.channels.size(); ++i)
    if (m.refToList[i] < 0) report.referenceUnmatched.push_back(LineOf(ref.channels[i]));
  // Reference position of every matched workspace channel.
  std::vector<int> refOf(kMaxChans, -1);
  for (size_t j = 0; j < list.channels.size(); ++j) {
    if (m.listToRef[j] >= 0) {
      refOf[size_t(list.channels[j].index)] = m.listToRef[j];
    } else {
      report.workspaceUnmatched.push_back(LineOf(list.channels[j]));
    }
  }
  auto chanOf = [&](size_t i) { return m.refToList[i] < 0 ? -1 : list.channels[size_t(m.refToList[i])].index; };

  if (options.deleteUnmatched) {
    for (size_t j = 0; j < list.channels.size(); ++j)
      if (m.listToRef[j] < 0 && ops.DeleteChan(list.channels[j].index) == kDbDone) ++report.deleted;
  }

  if (options.order) {
    std::vector<uint16_t> order;
    order.reserve(kMaxChans);
    for (size_t i = 0; i < ref.channels.size(); ++i)
      if (const int c = chanOf(i); c >= 0) order.push_back(uint16_t(c));
    for (int p = 0; p < kMaxChans; ++p) {
      const uint16_t c = img.Order(p);
      if (c == kNoChan || (DbImage::ValidChan(c) && refOf[c] >= 0)) continue;
      order.push_back(c);
    }
    for (int p = 0; p < kMaxChans; ++p) img.SetOrder(p, size_t(p) < order.size() ? order[size_t(p)] : kNoChan);
  }

  if (options.numbers && ref.hasNumber) {
    int highest = 0;
    for (size_t i = 0; i < ref.channels.size(); ++i) {
      const int c = chanOf(i);
      const int number = ref.channels[i].number;
      if (c < 0 || number < 0) continue;
      img.SetChanU16(c, chan::kNumber, uint16_t(number));
      if (number != kNoChanNumber) highest = std::max(highest, number);
    }
    int next = highest + 1;
    for (int p = 0; p < kMaxChans; ++p) {
      const uint16_t c = img.Order(p);
      if (c == kNoChan) continue;
      if (!img.ChanInUse(c) || refOf[c] >= 0) continue;
      img.SetChanU16(c, chan::kNumber, uint16_t(std::min(next, int(kNoChanNumber))));
      ++next;
    }
  }

  if (options.locks && ref.hasLock) {
    for (size_t i = 0; i < ref.channels.size(); ++i) {
      const int c = chanOf(i);
      // c is a channel in use: nothing to refuse.
      if (c >= 0 && ref.channels[i].locked >= 0) static_cast<void>(ops.SetLockFlag(c, ref.channels[i].locked));
    }
  }

  if (options.favourites && ref.hasFavourites) {
    // Lists [type * 8 + k]: the matched channels in the reference's list
    // order, then the unmatched members the list already had.
    std::array<std::vector<uint16_t>, 2 * kFavLists> lists;
    std::vector<uint16_t> member(kMaxChans, 0);  // bit type * 8 + k
    auto add = [&](int k, uint16_t c) {
      const int type = img.ChanWordField(c, chw::kServiceType) == 0 ? 0 : 1;
      const int slot = type * kFavLists + k;
      if ((member[c] >> slot) & 1u) return;
      if (lists[size_t(slot)].size() >= size_t(kFavEntries)) return;
      member[c] = uint16_t(member[c] | (1u << slot));
      lists[size_t(slot)].push_back(c);
    };
    if (ref.fromImage) {
      for (int slot = 0; slot < 2 * kFavLists; ++slot)
        for (int pos : ref.favouriteLists[size_t(slot)])
          if (const int c = chanOf(size_t(pos)); c >= 0) add(slot % kFavLists, uint16_t(c));
    } else {
      for (int k = 0; k < kFavLists; ++k)
        for (size_t i = 0; i < ref.channels.size(); ++i)
          if (const int c = chanOf(i); c >= 0 && ((ref.channels[i].favourites >> k) & 1u)) add(k, uint16_t(c));
    }
    for (int type = 0; type < 2; ++type) {
      for (int k = 0; k < kFavLists; ++k) {
        std::vector<uint16_t>& out = lists[size_t(type * kFavLists + k)];
        const int length = std::min<int>(img.FavLength(type, k), kFavEntries);
        for (int i = 0; i < length; ++i) {
          const uint16_t c = img.FavEntry(type, k, i);
          if (!img.ChanInUse(c) || refOf[c] >= 0) continue;
          if (out.size() < size_t(kFavEntries)) out.push_back(c);
        }
        for (int i = 0; i < kFavEntries; ++i)
          img.SetFavEntry(type, k, i, size_t(i) < out.size() ? out[size_t(i)] : kNoChan);
        img.SetFavLength(type, k, uint16_t(out.size()));
      }
    }
    for (size_t j = 0; j < list.channels.size(); ++j) {
      const int c = list.channels[j].index;
      if (m.listToRef[j] < 0 || !img.ChanInUse(c)) continue;
      const int type = img.ChanWordField(c, chw::kServiceType) == 0 ? 0 : 1;
      img.SetChanWordField(c, chw::kFavMask, (member[size_t(c)] >> (type * kFavLists)) & 0xFFu);
    }
    if (ref.fromImage) {
      // Every k is a list number: nothing to refuse.
      for (int k = 0; k < kFavLists; ++k)
        static_cast<void>(ops.SetFavouriteName(k, ref.favouriteNameFields[size_t(k)]));
    }
  }

  if (options.names) {
    for (size_t i = 0; i < ref.channels.size(); ++i) {
      const int c = chanOf(i);
      const ListChannel& r = ref.channels[i];
      if (c < 0 || m.pass[i] != MatchPass::kKey || r.name.empty()) continue;
      uint8_t* field = img.ChanName(c);
      const int table = ChannelNameTable(field);
      std::array<uint8_t, chan::kNameSize> bytes{};
      if (ref.fromImage && r.nameTable == table && r.nameField.size() < chan::kNameSize) {
        std::memcpy(bytes.data(), r.nameField.data(), r.nameField.size());
      } else {
        // The selector in front of the name stays: the receiver reads the
        // text through it.
        const bool selector = field[0] >= 0x01 && field[0] < 0x20;
        std::string encoded;
        if (!EncodeNameText(r.name, table, size_t(kChanNameLen - (selector ? 1 : 0)), encoded)) {
          ++report.namesKept;
          continue;
        }
        size_t at = 0;
        if (selector) bytes[at++] = field[0];
        std::memcpy(bytes.data() + at, encoded.data(), encoded.size());
      }
      std::memcpy(field, bytes.data(), bytes.size());
    }
  }
  return report;
}

// ---- Import ----

std::vector<ImportCandidate> ImportCandidates(const Workspace& ws, const Workspace& other) {
  const ReferenceList mine = ListFromWorkspace(ws);
  const ReferenceList theirs = ListFromWorkspace(other);
  std::unordered_map<int, std::vector<int>> bySid;
  for (size_t j = 0; j < mine.channels.size(); ++j) bySid[mine.channels[j].sid].push_back(int(j));
  std::vector<ImportCandidate> out;
  for (const ListChannel& ch : theirs.channels) {
    bool found = false;
    if (const auto it = bySid.find(ch.sid); it != bySid.end()) {
      for (int j : it->second) {
        if (SameServiceKey(ch, mine.channels[size_t(j)], theirs)) {
          found = true;
          break;
        }
      }
    }
    if (found) continue;
    ImportCandidate cand;
    cand.index = ch.index;
    cand.line = LineOf(ch);
    cand.radio = ch.serviceType == 1;
    cand.delivery = ch.delivery;
    if (ch.delivery == int(kDeliveryTerrestrial) || ch.delivery == int(kDeliveryCable)) {
      cand.polarisation = "-";
    } else if (ch.polarisation >= 0) {
      static constexpr const char* kPol[] = {"AUTO", "H", "V", "?"};
      cand.polarisation = kPol[ch.polarisation & 3];
    }
    out.push_back(std::move(cand));
  }
  return out;
}

namespace {

class Importer {
 public:
  Importer(Workspace& ws, const Workspace& other, ImportReport& report)
      : ws_(ws), other_(other), img_(*ws.image), src_(*other.image), report_(report) {
    for (int c = 0; c < kMaxChans; ++c) {
      if (!img_.ChanInUse(c)) continue;
      const int n = img_.ChanNumber(c);
      if (n != kNoChanNumber) nextNumber_ = std::max(nextNumber_, n + 1);
    }
    satOf_.fill(-1);
  }

  void Import(int oc) {
    ReportLine line;
    if (DbImage::ValidChan(oc) && src_.ChanInUse(oc)) line = LineOf(Describe(other_, oc));
    const int ot = DbImage::ValidChan(oc) ? src_.ChanTp(oc) : -1;
    const int os = src_.TpInUse(ot) ? src_.TpSat(ot) : -1;
    if (!src_.ChanInUse(oc) || !src_.SatInUse(os)) return Fail(line, kBrokenSource);
    std::string_view why;
    const int s = Satellite(os, why);
    if (s < 0) return Fail(line, why);
    const int t = Transponder(s, ot, why);
    if (t < 0) return Fail(line, why);
    if (img_.TpChanCount(t) >= kMaxChansPerTp) return Fail(line, kTransponderFull);
    DbOps ops = Ops(int(img_.SatDelivery(s)) - 1, 1);
    uint16_t c = kNoChan;
    if (ops.AddChan(t, c, 1) != kDbDone) return Fail(line, kNoRoomChannel);
    for (size_t f : {chan::kSid, chan::kVideoPid, chan::kPcrPid, chan::kPidSlot3, chan::kPidSlot4, chan::kPidSlot5,
                     chan::kAudioPid})
      img_.SetChanU16(c, f, src_.ChanU16(oc, f));
    std::memcpy(img_.ChanName(c), src_.ChanName(oc), chan::kNameSize);
    // Its flags come along; favourite lists are the workspace's own business.
    uint32_t word = src_.ChanWord(oc);
    word = chw::kFavMask.Set(word, 0);
    word = chw::kAddedByEditor.Set(word, 1);
    img_.SetChanWord(c, word);
    img_.SetChanTuner(c, uint16_t(WithMasksOf(img_.ChanTuner(c), img_.TpTuner(t))));
    img_.SetChanU16(c, chan::kProvider, 0xFFFF);
    img_.SetChanU16(c, chan::kNumber, uint16_t(std::min(nextNumber_, int(kNoChanNumber))));
    ++nextNumber_;
    ++report_.imported;
    report_.newChannels.push_back(c);
  }

 private:
  DbOps Ops(int deliveryType, int tunerMask) {
    DbOps ops(img_, [this](int k) -> const uint8_t* {
      if (k < 0 || k >= int(kCatalogueEntries)) return nullptr;
      return ws_.catalogue.entries[size_t(k)].name.data();
    });
    ops.deliveryType = deliveryType;
    ops.tunerMask = tunerMask;
    return ops;
  }

  void Fail(const ReportLine& line, std::string_view why) { report_.notImported.push_back({line, std::string(why)}); }

  static int MaskOf(uint32_t tunerWord) {
    const int m = int(tuner::kMaskA.Get(tunerWord)) & 3;
    return m == 0 ? 1 : m;
  }

  int Satellite(int os, std::string_view& why) {
    if (satOf_[size_t(os)] >= 0 && img_.SatInUse(satOf_[size_t(os)])) return satOf_[size_t(os)];
    const int delivery = int(src_.SatDelivery(os));
    int found = -1;
    if (delivery == int(kDeliverySatellite)) {
      const int pos = SatellitePosition(other_, os);
      const std::string key = Key(DecodeRecordText(src_.SatName(os), sat::kNameSize));
      for (int s = 0; s < kMaxSats && found < 0; ++s) {
        if (!img_.SatInUse(s) || img_.SatDelivery(s) != kDeliverySatellite) continue;
        const int p = SatellitePosition(ws_, s);
        const bool same = pos >= 0 && p >= 0 ? PositionDistance(p, pos) <= kSamePositionTenths
                                             : Key(DecodeRecordText(img_.SatName(s), sat::kNameSize)) == key;
        if (same) found = s;
      }
      if (found < 0) found = NewSatellite(os, pos, why);
    } else {
      const uint8_t k = src_.SatCatalogueIndex(os);
      for (int s = 0; s < kMaxSats && found < 0; ++s)
        if (img_.SatInUse(s) && int(img_.SatDelivery(s)) == delivery && img_.SatCatalogueIndex(s) == k) found = s;
      for (int s = 0; s < kMaxSats && found < 0; ++s)
        if (img_.SatInUse(s) && int(img_.SatDelivery(s)) == delivery) found = s;
      if (found < 0) {
        // A pseudo-satellite, made as the editor makes one: new, so the
        // next load brings it into the catalogue.
        DbOps ops = Ops(delivery - 1, MaskOf(src_.SatTuner(os)));
        uint8_t s = kNoSat;
        if (ops.AddSat(s, k, 1) != kDbDone) {
          why = kNoRoomSatellite;
          return -1;
        }
        std::memcpy(img_.SatName(s), src_.SatName(os), sat::kNameSize);
        ++report_.satellitesAdded;
        found = s;
      }
    }
    satOf_[size_t(os)] = found;
    return found;
  }

  int NewSatellite(int os, int pos, std::string_view& why) {
    SatCatalogue& cat = ws_.catalogue;
    int k = -1;
    if (pos >= 0 && cat.Present()) {
      for (int e = 0; e < int(std::min<uint32_t>(cat.count, kCatalogueEntries)) && k < 0; ++e)
        if (PositionDistance(cat.entries[size_t(e)].position, pos) <= kSamePositionTenths) k = e;
    }
    const bool newEntry = k < 0;
    if (newEntry) {
      // Entries 198 and 199 belong to the terrestrial and cable pseudo-satellites.
      if (!cat.Present() || cat.count >= uint32_t(DbOps::PseudoSatIndex(false))) {
        why = kNoRoomCatalogue;
        return -1;
      }
      if (img_.SatCount() >= kMaxSats) {
        why = kNoRoomSatellite;
        return -1;
      }
      k = int(cat.count);
      CatalogueEntry e;
      const uint8_t ok = src_.SatCatalogueIndex(os);
      const bool otherEntry = other_.catalogue.Present() && ok < other_.catalogue.count;
      if (otherEntry) {
        const CatalogueEntry& src = other_.catalogue.entries[ok];
        e.name = src.name;
        e.tps.assign(src.tps.begin(), src.tps.begin() + std::ptrdiff_t(std::min<size_t>(src.tpCount, src.tps.size())));
      } else {
        std::memcpy(e.name.data(), src_.SatName(os), sat::kNameSize);
      }
      e.position = uint16_t(pos >= 0 ? pos : 0);
      e.tpCount = uint32_t(e.tps.size());
      e.tpCountAtLoad = 0;
      cat.entries[size_t(k)] = std::move(e);
      ++cat.count;
    }
    DbOps ops = Ops(0, MaskOf(src_.SatTuner(os)));
    uint8_t s = kNoSat;
    if (ops.AddSat(s, uint8_t(k), 0) != kDbDone) {
      if (newEntry) {
        --cat.count;
        cat.entries[size_t(k)] = CatalogueEntry{};
      }
      why = kNoRoomSatellite;
      return -1;
    }
    // The entry exists (it was found or made above), so its name is there.
    static_cast<void>(ops.SyncSatName(s));
    img_.SetSatU16(s, sat::kLnbLow, src_.SatU16(os, sat::kLnbLow));
    img_.SetSatU16(s, sat::kLnbHigh, src_.SatU16(os, sat::kLnbHigh));
    ++report_.satellitesAdded;
    if (newEntry) ++report_.catalogueEntriesAdded;
    return s;
  }

  int Transponder(int s, int ot, std::string_view& why) {
    const bool satellite = img_.SatDelivery(s) == kDeliverySatellite;
    const int frequency = src_.TpFrequency(ot);
    const int tolerance = satellite ? kSameFrequencyKhz / 1000 : kSameFrequencyKhz / 100;
    const uint32_t pol = src_.TpWordField(ot, tpw::kPolarisation);
    const int first = img_.SatFirstTp(s);
    int t = first;
    for (int step = 0; step < img_.SatTpCount(s) && img_.TpInUse(t); ++step) {
      const bool samePol = !satellite || img_.TpWordField(t, tpw::kPolarisation) == pol;
      if (samePol && std::abs(int(img_.TpFrequency(t)) - frequency) <= tolerance) return t;
      t = img_.TpNext(t);
      if (t == first) break;
    }
    DbOps ops = Ops(int(img_.SatDelivery(s)) - 1, 1);
    uint16_t nt = kNoTp;
    if (ops.AddTp(s, nt, 0) != kDbDone) {
      why = kNoRoomTransponder;
      return -1;
    }
    // nt was just added: setting its fields cannot be refused.
    static_cast<void>(ops.SetTpFrequency(nt, uint16_t(frequency)));
    static_cast<void>(ops.SetTpSymbolRate(nt, src_.TpSymbolRate(ot)));
    static_cast<void>(ops.SetTpPolarisation(nt, pol));
    static_cast<void>(ops.SetTpModFec(nt, src_.TpModFec(ot)));
    img_.SetTpTuner(nt, WithMasksOf(img_.TpTuner(nt), img_.SatTuner(s)));
    ++report_.transpondersAdded;
    // A satellite TP also goes into its catalogue entry, as the TP commands do.
    const uint8_t k = img_.SatCatalogueIndex(s);
    if (satellite && ws_.catalogue.Present() && k < ws_.catalogue.count) {
      CatalogueEntry& e = ws_.catalogue.entries[k];
      e.tps.resize(std::min<size_t>(e.tpCount, e.tps.size()));
      const bool listed = std::any_of(e.tps.begin(), e.tps.end(), [&](const CatalogueTp& ct) {
        return ct.frequency == frequency && ct.polarisation == pol;
      });
      if (!listed) {
        e.tps.push_back({uint16_t(frequency), src_.TpSymbolRate(ot), uint8_t(pol), src_.TpModFec(ot), 0, 0});
        e.tpCount = uint32_t(e.tps.size());
      }
    }
    return nt;
  }

  Workspace& ws_;
  const Workspace& other_;
  DbImage& img_;
  const DbImage& src_;
  ImportReport& report_;
  int nextNumber_ = 1;
  std::array<int, kMaxSats> satOf_{};
};

}  // namespace

ImportReport ImportChannels(Workspace& ws, const Workspace& other, const std::vector<int>& channels) {
  ImportReport report;
  Importer importer(ws, other, report);
  for (int oc : channels) importer.Import(oc);
  return report;
}

}  // namespace pelagor
