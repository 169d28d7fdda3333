#pragma once
// Texts shown for the coded values of TPs and channels. Codes outside the
// receiver's tables read "Unknown" rather than running off a table.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelagor {

inline constexpr std::string_view kUnknownText = "Unknown";

// ModFec byte: modulation in the high nibble, FEC index in the low nibble.
[[nodiscard]] inline int ModulationOf(uint8_t modFec) { return modFec >> 4; }
[[nodiscard]] inline int FecIndexOf(uint8_t modFec) { return modFec & 0x0F; }

[[nodiscard]] std::string_view ModulationLongName(int modulation);   // "DVB-S2-8PSK"
[[nodiscard]] std::string_view ModulationShortName(int modulation);  // "8P-S2"
[[nodiscard]] std::string_view FecText(int modulation, int fecIndex);
// The FEC choices of a modulation, in index order (empty above 4).
[[nodiscard]] std::vector<std::string_view> FecTexts(int modulation);
[[nodiscard]] std::string_view QamText(int qamMode);  // "QAM-64"

// Polarisation 0-3: TP list "auto"/"H"/"V", channel list "AUTO"/"H"/"V"/"?".
[[nodiscard]] std::string_view TpListPolarisation(int pol);
[[nodiscard]] std::string_view ChannelListPolarisation(int pol);

}  // namespace pelagor
