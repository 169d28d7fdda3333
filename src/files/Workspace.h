#pragma once
// Everything a download image holds, as the editor keeps it between loads
// and saves: the database block, the catalogue, the providers, the section
// headers carried from the loaded file, and the model.

#include <array>
#include <cstdint>
#include <memory>

#include "db/DbImage.h"
#include "db/ProviderTable.h"
#include "db/SatCatalogue.h"
#include "files/ModelTable.h"
#include "files/SectionHeader.h"

namespace pelagor {

struct Workspace {
  Workspace() : image(std::make_unique<DbImage>()) {}
  Workspace(const Workspace& o) { *this = o; }
  Workspace& operator=(const Workspace& o);
  Workspace(Workspace&&) noexcept = default;
  Workspace& operator=(Workspace&&) noexcept = default;

  std::unique_ptr<DbImage> image;  // never null
  SatCatalogue catalogue;
  ProviderTable providers;
  SectionHeader satelliteHeader;
  SectionHeader channelHeader;
  SectionHeader providerHeader;
  std::array<uint8_t, 8> satellitePrefix{};
  bool providerPresent = false;
  ModelId model = kNoModel;
  bool loaded = false;
};

}  // namespace pelagor
