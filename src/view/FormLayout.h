#pragma once
// Where the form puts its two lists when the window is resized. The TP list
// and its group keep their widths; the channel side takes the rest.

namespace pelagor {

struct LayoutRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const LayoutRect&) const = default;
};

struct FormLayout {
  LayoutRect tpList;
  LayoutRect transponderGroup;
  LayoutRect channelsGroup;
  LayoutRect channelList;
};

// Client size w x h; current widths of the TP list and of its group. Sizes
// that would be negative in a tiny window are 0.
FormLayout LayoutForm(int w, int h, int tpListWidth, int transponderGroupWidth);

}  // namespace pelagor
