#include "files/Workspace.h"

namespace pelagor {

Workspace& Workspace::operator=(const Workspace& o) {
  if (this == &o) return *this;
  // The block is 640 KB: copy into the one we have rather than allocate.
  if (image)
    *image = *o.image;
  else
    image = std::make_unique<DbImage>(*o.image);
  catalogue = o.catalogue;
  providers = o.providers;
  satelliteHeader = o.satelliteHeader;
  channelHeader = o.channelHeader;
  providerHeader = o.providerHeader;
  satellitePrefix = o.satellitePrefix;
  providerPresent = o.providerPresent;
  model = o.model;
  loaded = o.loaded;
  return *this;
}

}  // namespace pelagor
