#include "view/ModelSelectDlg.h"

#include <array>

namespace pelagor {

namespace {

struct Position {
  std::string_view label;
  ModelId model;
  bool enabled;
};

constexpr std::array<Position, ModelSelectDlg::kPositions> kRadios{{
    {"V44.06HD", 7, true},
    {"V55.06HD", 5, true},
    {"V66.06HD", 6, false},
    {"V39.20HD", 1, true},
    {"VR39.20HD", 2, true},
    {"VM39.20HD", 3, true},
}};

bool InRange(int p) { return p >= 0 && p < ModelSelectDlg::kPositions; }

}  // namespace

std::string_view ModelSelectDlg::Label(int p) { return InRange(p) ? kRadios[size_t(p)].label : ""; }
bool ModelSelectDlg::Enabled(int p) { return InRange(p) && kRadios[size_t(p)].enabled; }
ModelId ModelSelectDlg::ModelAt(int p) { return InRange(p) ? kRadios[size_t(p)].model : kNoModel; }

int ModelSelectDlg::PreselectionFor(ModelId model) {
  switch (model) {
    case 1: return 3;
    case 2: return 4;
    case 3: return 5;
    case 5: return 1;
    case 6: return 2;
    case 7: return 0;
    default: return 0;  // model 4, 8 and none
  }
}

}  // namespace pelagor
