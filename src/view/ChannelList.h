#pragma once
// The channel list, without the toolkit: its filter, which channels pass it,
// the rows they are shown in, and the columns and texts of those rows. The
// editor's window, its CSV export and pelagor-cli's `channels` all read the
// list through this class, so they show the same texts.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/Workspace.h"
#include "view/ViewUi.h"

namespace pelagor {

// DeliveryType: what a tuner receives; a satellite record's delivery system
// is this value plus one.
inline constexpr int kDvbS = 0;
inline constexpr int kDvbT = 1;
inline constexpr int kDvbC = 2;

// Channel list columns.
enum ChannelColumn : int {
  kColNo,
  kColChanNo,
  kColName,
  kColSatellite,
  kColFreq,
  kColPol,
  kColCas,
  kColVPid,
  kColAPid,
  kColPPid,
  kColSid,
  kColFavorite,
  kColLock,
  kColProvider,
};
inline constexpr int kChannelColumns = 14;

// The "TV" / "Radio" buttons; the values are the channel word's service bit.
enum class ServiceType : int { kTv = 0, kRadio = 1 };
// The CAS combo, in its item order.
enum class CasFilter : int { kAll = 0, kFreeToAir = 1, kScrambled = 2 };
// The satellite and TP combos, in their item order.
enum class PlaceFilter : int { kAll = 0, kCurrent = 1 };

struct ChannelFilter {
  ServiceType service = ServiceType::kTv;
  CasFilter cas = CasFilter::kAll;
  int favorite = 0;  // 0 all, k: favourite list k (1-8)
  PlaceFilter satellite = PlaceFilter::kAll;
  PlaceFilter transponder = PlaceFilter::kAll;
  // Find: only channels whose shown name holds this text, case ignored.
  std::string name;
  std::string nameFolded;
};

// TP index a channel stands on for display and filters: a broken index
// reads as TP 0.
[[nodiscard]] int ChannelDisplayTp(const DbImage& img, uint16_t c);

// What "Current" of the satellite and TP filters refers to.
struct ChannelPlace {
  int deliveryType = kDvbS;  // of the tuner shown
  // DVB-S: the current satellite; its TP filter uses transponder.
  uint8_t satellite = kNoSat;
  // DVB-S: the current TP; DVB-T and DVB-C: the TP of the selected TP-list
  // row. kNoTp: none, and the TP filter shows nothing.
  uint16_t transponder = kNoTp;
};

class ChannelList {
 public:
  // The list reads ws, which must outlive it.
  explicit ChannelList(const Workspace& ws);
  ChannelList(const ChannelList&) = delete;
  ChannelList& operator=(const ChannelList&) = delete;

  [[nodiscard]] static const std::vector<ListColumn>& Columns();

  // ---- Filter ----
  [[nodiscard]] ChannelFilter& Filter() { return filter_; }
  [[nodiscard]] const ChannelFilter& Filter() const { return filter_; }
  // Would the filter show channel c?
  [[nodiscard]] bool Shown(uint16_t c, const ChannelPlace& place) const;

  // ---- Rows ----
  // The channels the filter shows, in the channel order, or in the order of
  // the favourite list the filter picks.
  void Rebuild(const ChannelPlace& place);
  // Every channel in use, in the channel order, unfiltered (the CLI's list).
  void ShowAll();
  // Rows set by a move, which keeps them in the order it made.
  void SetRows(const std::vector<uint16_t>& channels);
  [[nodiscard]] int RowCount() const { return rowCount_; }
  [[nodiscard]] std::span<const uint16_t> Rows() const { return {rowMap_.data(), size_t(rowCount_)}; }
  // Channel index shown in a row, kNoChan past the last row.
  [[nodiscard]] uint16_t ChannelOfRow(int row) const;

  // ---- Texts ----
  // After an edit the list is refreshed in place, and until the next
  // rebuild the satellite column names DVB-T and DVB-C channels by their
  // delivery and their polarisation reads "-".
  void SetRefreshForm(bool on) { refreshForm_ = on; }
  // The names the favourite column shows ("Favorite-k" until a load).
  [[nodiscard]] std::array<std::string, kFavLists>& FavoriteNames() { return favoriteNames_; }
  [[nodiscard]] const std::array<std::string, kFavLists>& FavoriteNames() const { return favoriteNames_; }
  // Takes the names from the image; false (names kept) without a catalogue.
  [[nodiscard]] bool LoadFavoriteNames();

  // Cell text, computed from the image on demand; empty past the rows.
  [[nodiscard]] std::string Cell(int row, int column) const;
  // The headings and then every row's cells.
  [[nodiscard]] std::vector<std::vector<std::string>> Table() const;

  // Values of channel c behind the cells, for output that wants them typed.
  [[nodiscard]] std::string SatelliteName(uint16_t c) const;
  [[nodiscard]] int Frequency(uint16_t c) const;  // MHz, or kHz for terrestrial and cable
  [[nodiscard]] std::string Polarisation(uint16_t c) const;
  [[nodiscard]] std::vector<int> FavoriteLists(uint16_t c) const;  // list numbers 1-8
  [[nodiscard]] std::optional<std::string> ProviderName(uint16_t c) const;

 private:
  [[nodiscard]] const DbImage& Image() const { return *ws_.image; }

  const Workspace& ws_;
  ChannelFilter filter_;
  std::array<std::string, kFavLists> favoriteNames_;
  std::array<uint16_t, kMaxChans> rowMap_;
  int rowCount_ = 0;
  bool refreshForm_ = false;
};

}  // namespace pelagor
