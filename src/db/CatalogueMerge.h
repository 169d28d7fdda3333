#pragma once
// Brings satellites and TPs created in the editor (marked new in the image)
// into the satellite catalogue after a load, and deletes catalogue entries
// while keeping the image's catalogue indices pointing at the same entries.

#include "db/DbImage.h"
#include "db/DbStatus.h"
#include "db/SatCatalogue.h"

namespace pelagor {

// Every satellite in use with its new bit set becomes catalogue entry b (its
// catalogue index, below 200) with its new, not excluded TPs; the new bits
// are cleared. The count grows only when b is the next entry (b == count),
// so pseudo-satellites at 198 and 199 do not add empty entries.
void MergeNewSatellites(DbImage& img, SatCatalogue& cat);

// Appends each satellite's new, not excluded TPs to its catalogue entry and
// clears their new bits.
void MergeNewTps(DbImage& img, SatCatalogue& cat);

// Removes entry k (below the count): the entries in use after it move down
// one place, and image satellites pointing at them follow. Entries past the
// count (the pseudo-satellites) stay where they are. kDbRefused (nothing
// changed) when k is not such an entry.
DbStatus DeleteCatalogueEntry(DbImage& img, SatCatalogue& cat, int k);

}  // namespace pelagor
