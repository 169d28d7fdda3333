#pragma once

namespace pelagor {

// A control's place in a dialog template, in dialog units.
struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

}  // namespace pelagor
