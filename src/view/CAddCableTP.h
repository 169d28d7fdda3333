#pragma once
// The cable TP dialog ("Add Cable TP" / "Edit Cable TP"): frequency in kHz,
// symbol rate and one of six QAM modes. The caller sets the members, the
// face shows the texts after FillTexts() and the QAM button of qamMode, and
// calls Validate() on OK.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "view/DialogValidation.h"

namespace pelagor {

class CAddCableTP {
 public:
  // The edit fields, in the order OK checks them.
  enum class Field { kFrequency, kSymbolRate };

  // The mode and the object in the title, as the satellite TP dialog does.
  static constexpr std::string_view kAddTitle = "Add Cable TP";
  static constexpr std::string_view kEditTitle = "Edit Cable TP";
  static constexpr std::string_view kQamLabel = "QAM Mode";
  static constexpr std::array<std::string_view, 6> kQamTexts{"QAM16", "QAM32", "QAM64", "QAM128", "QAM256", "Auto"};
  static constexpr uint32_t kFrequencyMin = 107500;  // kHz
  static constexpr uint32_t kFrequencyMax = 858000;
  static constexpr uint32_t kSymbolRateMax = 45000;
  static constexpr int kFallbackQamMode = 3;  // "QAM128"

  [[nodiscard]] static const FieldRule& Rule(Field field);

  [[nodiscard]] std::string_view Title() const { return addMode ? kAddTitle : kEditTitle; }

  // Opening: the texts, and a QAM mode none of the six buttons stands for
  // becomes "QAM128" (3), so exactly one button is set.
  void FillTexts();
  [[nodiscard]] std::string& Text(Field field) {
    return field == Field::kSymbolRate ? symbolRateText_ : frequencyText_;
  }
  [[nodiscard]] const std::string& Text(Field field) const {
    return field == Field::kSymbolRate ? symbolRateText_ : frequencyText_;
  }
  // A click on a QAM button.
  void OnQamMode(int mode);
  [[nodiscard]] static int ShownQamMode(int mode) {
    return mode >= 0 && mode < int(kQamTexts.size()) ? mode : kFallbackQamMode;
  }

  // OK: frequency 107500 to 858000, then symbol rate 0 to 45000.
  [[nodiscard]] std::optional<ValidationFailure<Field>> Validate();

  uint32_t frequency = 0xFFFFFFFFu;   // kHz; the caller sets it
  uint32_t symbolRate = 0xFFFFFFFFu;  // the caller sets it
  int qamMode = kFallbackQamMode;     // "QAM16" 0 ... "QAM256" 4, "Auto" 5
  bool addMode = false;

 private:
  std::string frequencyText_;
  std::string symbolRateText_;
};

}  // namespace pelagor
