#pragma once
// Reference lists: another channel list (a download image of any model, or
// a CSV file with at least a "Chan Name" column) whose order, numbers,
// favourites, locks and names are carried over to the workspace, and the
// import of channels the workspace lacks. Matching goes by what identifies
// a service: delivery system, orbital position, transponder frequency and
// polarisation, and SID; then SID and name; then a name found only once.
// The CLI and the editor's commands share everything here.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "files/Workspace.h"

namespace pelagor {

// Orbital positions closer than this (tenths of a degree) are the same.
inline constexpr int kSamePositionTenths = 2;
// Transponder frequencies closer than this (kHz) are the same.
inline constexpr int kSameFrequencyKhz = 2000;

// One channel of a list, in the terms the matching compares.
struct ListChannel {
  int index = -1;         // channel record index; -1 for a CSV row
  std::string name;       // as the channel list shows it
  std::string nameKey;    // case folded, surrounding blanks removed
  std::string nameField;  // image: the name bytes up to the first NUL
  int nameTable = 0;      // image: the name's character table
  int delivery = 0;       // 1 DVB-S, 2 DVB-T, 3 DVB-C; 0 unknown
  int position = -1;      // orbital position in tenths (0-3599); -1 unknown
  std::string satellite;  // satellite name as shown
  std::string satelliteKey;
  int frequencyKhz = -1;    // -1 unknown
  int shownFrequency = -1;  // as the list shows it: MHz, or kHz for DVB-T/C
  int polarisation = -1;    // 0 auto, 1 H, 2 V, 3 undefined; -1 unknown
  int sid = -1;             // -1 unknown
  int number = -1;          // channel number (0xFFFF: not numbered); -1 unknown
  int locked = -1;          // -1 unknown
  int serviceType = -1;     // 0 TV, 1 radio; -1 unknown
  uint8_t favourites = 0;   // CSV: lists named in the "Favorite" column
};

struct ReferenceList {
  bool fromImage = false;
  std::vector<ListChannel> channels;  // in the reference's channel order
  // Which columns a CSV reference has; an image has them all.
  bool hasNumber = false, hasSatellite = false, hasFrequency = false, hasPolarisation = false;
  bool hasSid = false, hasLock = false, hasFavourites = false;
  // Image: each favourite list ([type * 8 + k], type 0 TV, 1 radio) as
  // positions in channels, and the eight list names as stored.
  std::array<std::vector<int>, 2 * kFavLists> favouriteLists;
  std::array<std::string, kFavLists> favouriteNameFields;
};

// The channels of a workspace in ChannelOrder, each once; entries that name
// a free slot are left out.
[[nodiscard]] ReferenceList ListFromWorkspace(const Workspace& ws);

// A CSV channel list. Satellite names are looked up in ws to learn their
// orbital position and delivery system. False (with a message) when the
// header has no "Chan Name" column or the quoting is broken.
[[nodiscard]] bool ListFromCsv(std::string_view text, const Workspace& ws, ReferenceList& out, std::string& message);

// A reference file: CSV by its ".csv" ending or by its text, otherwise a
// download image. False with the message to show when it cannot be read.
[[nodiscard]] bool LoadReferenceFile(const std::string& path, const Workspace& ws, ReferenceList& out,
                                     std::string& message);

enum class MatchPass : int { kNone = 0, kKey = 1, kSidName = 2, kName = 3 };

struct MatchResult {
  std::vector<int> refToList;    // per reference channel: position in the list, -1 unmatched
  std::vector<int> listToRef;    // per list channel: position in the reference, -1
  std::vector<MatchPass> pass;   // per reference channel
  std::array<int, 3> matched{};  // by pass 1, 2, 3
};

// Three passes, each channel on either side matched at most once, reference
// channels taken in reference order; a reference channel that could match
// several takes the first in list order.
[[nodiscard]] MatchResult MatchLists(const ReferenceList& ref, const ReferenceList& list);

// Pass 1 alone between two channels.
[[nodiscard]] bool SameServiceKey(const ListChannel& a, const ListChannel& b, const ReferenceList& aList);

struct ApplyOptions {
  bool order = true;
  bool numbers = true;
  bool favourites = true;
  bool locks = true;
  bool names = true;
  bool deleteUnmatched = false;
};

// A channel in a report.
struct ReportLine {
  std::string name;
  std::string satellite;
  int frequency = -1;  // as shown: MHz, kHz for DVB-T/C; -1 unknown
  int sid = -1;        // -1 unknown
};
// "Name, satellite, frequency" for the report lists (tab separated, so a
// copy lands in a spreadsheet's columns).
[[nodiscard]] std::string ReportLineText(const ReportLine& line);

struct ApplyReport {
  std::array<int, 3> matched{};
  std::vector<ReportLine> referenceUnmatched;
  std::vector<ReportLine> workspaceUnmatched;
  int deleted = 0;
  int namesKept = 0;  // names the channel's character table cannot hold
};

// Carries the reference over to the workspace as the options say. The image
// stays sound (the database operations do every deletion and flag).
[[nodiscard]] ApplyReport ApplyReference(Workspace& ws, const ReferenceList& ref, const ApplyOptions& options);

// ---- Import ----

struct ImportCandidate {
  int index = 0;  // channel record index in the other list
  ReportLine line;
  std::string polarisation;  // "H", "V", "AUTO", "?", "-" for DVB-T/C
  bool radio = false;
  int delivery = 0;
};

// The other list's channels, in its order, that have no service-key match
// in the workspace.
[[nodiscard]] std::vector<ImportCandidate> ImportCandidates(const Workspace& ws, const Workspace& other);

struct ImportFailure {
  ReportLine line;
  std::string reason;
};

struct ImportReport {
  int imported = 0;
  int satellitesAdded = 0;
  int catalogueEntriesAdded = 0;
  int transpondersAdded = 0;
  std::vector<ImportFailure> notImported;
  std::vector<uint16_t> newChannels;
};

inline constexpr std::string_view kNoRoomSatellite = "no room for another satellite";
inline constexpr std::string_view kNoRoomCatalogue = "no room in the satellite catalogue";
inline constexpr std::string_view kNoRoomTransponder = "no room for another transponder";
inline constexpr std::string_view kTransponderFull = "the transponder holds 255 channels";
inline constexpr std::string_view kNoRoomChannel = "no room for another channel";
inline constexpr std::string_view kBrokenSource = "its transponder or satellite is broken in the other list";

// Imports the given channels of other (record indices, in that order): each
// onto the workspace satellite at the same orbital position (added, with a
// catalogue entry when there is none) and the transponder of the same
// frequency and polarisation (added when missing), at the end of the order
// with the next free number. What does not fit is reported; the rest goes in.
[[nodiscard]] ImportReport ImportChannels(Workspace& ws, const Workspace& other, const std::vector<int>& channels);

}  // namespace pelagor
