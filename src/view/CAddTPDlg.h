#pragma once
// The satellite TP dialog ("Add Transponder" / "Edit Transponder"):
// frequency, symbol rate, polarity, modulation with its FEC choices, pilot.
// The caller sets the members, the face shows the texts after FillTexts()
// and the FEC list of FecChoices(modulation), and calls Validate() on OK
// with fecIndex set to the list's selection.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "view/DialogValidation.h"

namespace pelagor {

class CAddTPDlg {
 public:
  // The fields in the order OK goes through them; only the two edit fields
  // can fail.
  enum class Field { kFec, kPolarity, kFrequency, kSymbolRate, kSatellite, kModulation, kPilot };

  static constexpr std::string_view kAddTitle = "Add Transponder";
  static constexpr std::string_view kEditTitle = "Edit Transponder";
  static constexpr std::string_view kFecLabel = "FEC";
  static constexpr std::string_view kPolarityLabel = "Polarity";
  static constexpr std::string_view kSatelliteLabel = "Satellite";
  static constexpr std::string_view kModulationLabel = "Modulation";
  static constexpr std::string_view kPilotLabel = "Pilot";
  static constexpr std::array<std::string_view, 3> kPolarityTexts{"Auto", "H", "V"};
  // The Turbo modulations 3 and 4 are shown in the TP list but not offered.
  static constexpr std::array<std::string_view, 3> kModulationTexts{"QPSK", "QPSK (DVB-S2)", "8PSK (DVB-S2)"};
  static constexpr std::array<std::string_view, 2> kPilotTexts{"Off", "On"};
  static constexpr uint32_t kFrequencyMax = 20000;   // MHz
  static constexpr uint32_t kSymbolRateMax = 45000;  // kS/s

  // Frequency and symbol rate; the other fields have no text.
  [[nodiscard]] static const FieldRule& Rule(Field field);
  // The FEC texts of a modulation (empty for any but 0-2).
  [[nodiscard]] static std::vector<std::string_view> FecChoices(int modulation);

  [[nodiscard]] std::string_view Title() const { return addMode ? kAddTitle : kEditTitle; }

  // Opening: the texts of frequency and symbol rate.
  void FillTexts();
  [[nodiscard]] std::string& Text(Field field) {
    return field == Field::kSymbolRate ? symbolRateText_ : frequencyText_;
  }
  [[nodiscard]] const std::string& Text(Field field) const {
    return field == Field::kSymbolRate ? symbolRateText_ : frequencyText_;
  }
  // A click on a modulation button: its FEC list is shown with the first
  // entry selected.
  void OnModulation(int m);

  // OK: fecIndex is what the FEC list has selected; with nothing selected
  // (-1) it becomes 0 rather than the low bits of -1. Then frequency (0 to
  // 20000) and symbol rate (0 to 45000).
  [[nodiscard]] std::optional<ValidationFailure<Field>> Validate();

  int fecIndex = 0;        // entry of the FEC list
  int polarity = -1;       // "Auto" 0, "H" 1, "V" 2; the caller sets it
  uint32_t frequency = 0;  // MHz
  uint32_t symbolRate = 0;
  std::string satelliteText;  // shown, not editable; set by the caller
  int modulation = -1;        // "QPSK" 0, "QPSK (DVB-S2)" 1, "8PSK (DVB-S2)" 2; the caller sets it
  int pilot = -1;             // "Off" 0, "On" 1; the caller sets it
  bool addMode = false;

 private:
  std::string frequencyText_;
  std::string symbolRateText_;
};

}  // namespace pelagor
