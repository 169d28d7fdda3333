#include "view/FormLayout.h"

#include <algorithm>

namespace pelagor {

FormLayout LayoutForm(int w, int h, int tpListWidth, int g) {
  auto nonNegative = [](int v) { return std::max(v, 0); };
  FormLayout f;
  f.tpList = {10, 170, tpListWidth, nonNegative(h - 170)};
  f.transponderGroup = {10, 150, g, nonNegative(h - 150)};
  f.channelsGroup = {g + 50, 80, nonNegative(w - g - 50), nonNegative(h - 80)};
  f.channelList = {g + 50, 100, nonNegative(w - g - 50), nonNegative(h - 100)};
  return f;
}

}  // namespace pelagor
