#pragma once
// Checks the structural invariants of a database image: rings, order list,
// favourite lists and counters. Used after edits in tests and by fuzzers.

#include <string>

#include "db/DbImage.h"

namespace pelagor {

// Empty when the image is sound, otherwise the first broken invariant in words.
[[nodiscard]] std::string CheckImage(const DbImage& image);

}  // namespace pelagor
