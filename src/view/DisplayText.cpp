#include "view/DisplayText.h"

#include <array>

namespace pelagor {

namespace {

struct Modulation {
  std::string_view longName;
  std::string_view shortName;
  std::vector<std::string_view> fec;
};

const std::array<Modulation, 5>& Modulations() {
  static const std::array<Modulation, 5> kMods{{
      {"DVB-QPSK", "QP", {"auto", "1/2", "2/3", "3/4", "5/6", "7/8"}},
      {"DVB-S2-QPSK", "QP-S2", {"Auto", "1/2", "3/5", "2/3", "3/4", "4/5", "5/6", "8/9", "9/10"}},
      {"DVB-S2-8PSK", "8P-S2", {"Auto", "3/5", "2/3", "3/4", "5/6", "8/9", "9/10"}},
      {"Turbo QPSK", "Turbo-Q", {"Auto", "1/4", "1/2", "3/4"}},
      {"Turbo 8PSK", "Turbo-8", {"Auto", "2/3", "3/4A", "3/4B", "5/6", "8/9"}},
  }};
  return kMods;
}

const Modulation* Find(int m) { return (m >= 0 && m < 5) ? &Modulations()[size_t(m)] : nullptr; }

}  // namespace

std::string_view ModulationLongName(int m) { return Find(m) ? Find(m)->longName : kUnknownText; }
std::string_view ModulationShortName(int m) { return Find(m) ? Find(m)->shortName : kUnknownText; }

std::string_view FecText(int m, int fec) {
  const Modulation* mod = Find(m);
  if (!mod || fec < 0 || fec >= int(mod->fec.size())) return kUnknownText;
  return mod->fec[size_t(fec)];
}

std::vector<std::string_view> FecTexts(int m) {
  const Modulation* mod = Find(m);
  return mod ? mod->fec : std::vector<std::string_view>{};
}

std::string_view QamText(int q) {
  static constexpr std::array<std::string_view, 6> kQam{"QAM-16", "QAM-32", "QAM-64", "QAM-128", "QAM-256", "Auto"};
  return (q >= 0 && q < 6) ? kQam[size_t(q)] : kUnknownText;
}

std::string_view TpListPolarisation(int pol) {
  static constexpr std::array<std::string_view, 3> kPol{"auto", "H", "V"};
  return (pol >= 0 && pol < 3) ? kPol[size_t(pol)] : "?";
}

std::string_view ChannelListPolarisation(int pol) {
  static constexpr std::array<std::string_view, 4> kPol{"AUTO", "H", "V", "?"};
  return (pol >= 0 && pol < 4) ? kPol[size_t(pol)] : "?";
}

}  // namespace pelagor
