#pragma once
// The "Select Model ..." dialog of Save As: six radio positions, each naming
// the receiver model it chooses.

#include <string_view>

#include "files/ModelTable.h"

namespace pelagor {

class ModelSelectDlg {
 public:
  static constexpr int kPositions = 6;
  static constexpr std::string_view kTitle = "Select Model ...";
  static constexpr std::string_view kGroup = "Model Name";
  static constexpr std::string_view kOkText = "Next >>";
  static constexpr std::string_view kCancelText = "Cancel";

  [[nodiscard]] static std::string_view Label(int position);
  [[nodiscard]] static bool Enabled(int position);
  [[nodiscard]] static ModelId ModelAt(int position);
  // Radio position shown first for the workspace's current model.
  [[nodiscard]] static int PreselectionFor(ModelId model);
  // Save As does not ask for this model: it keeps it.
  [[nodiscard]] static bool SkippedFor(ModelId model) { return model == 8; }

  int position = 0;  // filled by the dialog on OK
};

}  // namespace pelagor
