#include "view/CAddTPDlg.h"

#include "view/DisplayText.h"

namespace pelagor {

const FieldRule& CAddTPDlg::Rule(Field field) {
  static const FieldRule kFrequency{"Frequency", FieldKind::kUnsigned, true, 0, kFrequencyMax, 0, true};
  static const FieldRule kSymbolRate{"Symbol Rate", FieldKind::kUnsigned, true, 0, kSymbolRateMax, 0, true};
  return field == Field::kSymbolRate ? kSymbolRate : kFrequency;
}

std::vector<std::string_view> CAddTPDlg::FecChoices(int modulation) {
  if (modulation < 0 || modulation >= int(kModulationTexts.size())) return {};
  return FecTexts(modulation);
}

void CAddTPDlg::FillTexts() {
  frequencyText_ = std::to_string(frequency);
  symbolRateText_ = std::to_string(symbolRate);
}

void CAddTPDlg::OnModulation(int m) {
  modulation = m;
  fecIndex = 0;
}

std::optional<ValidationFailure<CAddTPDlg::Field>> CAddTPDlg::Validate() {
  if (fecIndex < 0) fecIndex = 0;
  if (auto failure = FirstRefusedField(*this, std::array{Field::kFrequency, Field::kSymbolRate})) return failure;
  frequency = *ParseUnsignedField(frequencyText_);
  symbolRate = *ParseUnsignedField(symbolRateText_);
  return std::nullopt;
}

}  // namespace pelagor
