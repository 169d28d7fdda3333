#pragma once
// The main window's title: which file and model the workspace belongs to and
// whether it has unsaved changes.

#include <string>
#include <string_view>

#include "files/ModelTable.h"

namespace pelagor {

inline constexpr std::string_view kApplicationTitle = "Pelagor";

struct TitleState {
  bool loaded = false;
  bool fileOpen = false;
  bool modified = false;
  std::string path;
  ModelId model = kNoModel;
};

[[nodiscard]] std::string MakeWindowTitle(const TitleState& s);

}  // namespace pelagor
