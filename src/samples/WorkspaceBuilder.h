#pragma once
// Builds workspaces through the database operations, keeping the catalogue,
// the image satellites and their TPs in step the way the editor does, so
// tests and the sample generator get workspaces a receiver could have made.

#include <cstdint>
#include <string_view>

#include "db/DbOps.h"
#include "files/Workspace.h"

namespace pelagor {

struct ChannelFields {
  std::string_view name;
  int type = 0;  // 0 TV, 1 radio
  uint16_t sid = 0;
  uint16_t videoPid = kNoPid;
  uint16_t audioPid = kNoPid;
  uint16_t pcrPid = kNoPid;
  bool scrambled = false;
  bool locked = false;
  uint8_t favourites = 0;  // bit k: favourite list k
  uint16_t provider = 0xFFFF;
  uint16_t number = kNoChanNumber;
};

class WorkspaceBuilder {
 public:
  // Headers carry the tags of the model (model 4 and none: the M_3920 tags)
  // and a few non-zero bytes in their uninterpreted fields.
  explicit WorkspaceBuilder(ModelId model, bool withProviders = true);

  // A catalogue entry at the next index and its image satellite (DVB-S).
  // Returns the image satellite index, or -1 when a table is full.
  [[nodiscard]] int AddSatellite(std::string_view name, uint16_t position);
  // A catalogue-only entry: listed by the receiver, no image satellite yet.
  [[nodiscard]] int AddCatalogueEntry(std::string_view name, uint16_t position);
  // A terrestrial (delivery 1) or cable (delivery 2) pseudo-satellite on
  // catalogue index 198 (tuner 1) or 199 (tuner 2), created as the editor
  // does: new, so the next load merges it into the catalogue.
  [[nodiscard]] int AddPseudoSatellite(int deliveryType, int tuner, std::string_view name);
  // A TP on an image satellite; DVB-S TPs also go into its catalogue entry.
  // markNew: the TP is not in the catalogue yet (the merge on load adds it).
  [[nodiscard]] int AddTp(int sat, uint16_t frequency, uint16_t symbolRate, int polarisation, uint8_t modFec,
                          bool markNew = false);
  // Returns the channel index, or -1 when the operations refuse it.
  [[nodiscard]] int AddChannel(int tp, const ChannelFields& fields);
  // Provider entry with its usage kept by AddChannel; returns its index.
  [[nodiscard]] int AddProvider(std::string_view name);
  // Names favourite list k (0-7); any other k names nothing.
  void SetFavouriteName(int k, std::string_view name);

  [[nodiscard]] Workspace& Get() { return ws_; }
  [[nodiscard]] Workspace Take() { return std::move(ws_); }

 private:
  Workspace ws_;
  DbOps ops_;
};

}  // namespace pelagor
