#include "view/CAddCableTP.h"

namespace pelagor {

const FieldRule& CAddCableTP::Rule(Field field) {
  static const FieldRule kFrequency{"Frequency", FieldKind::kUnsigned, true, kFrequencyMin, kFrequencyMax, 0, true};
  static const FieldRule kSymbolRate{"Symbol Rate", FieldKind::kUnsigned, true, 0, kSymbolRateMax, 0, true};
  return field == Field::kSymbolRate ? kSymbolRate : kFrequency;
}

void CAddCableTP::FillTexts() {
  frequencyText_ = std::to_string(frequency);
  symbolRateText_ = std::to_string(symbolRate);
  qamMode = ShownQamMode(qamMode);
}

void CAddCableTP::OnQamMode(int mode) { qamMode = ShownQamMode(mode); }

std::optional<ValidationFailure<CAddCableTP::Field>> CAddCableTP::Validate() {
  if (auto failure = FirstRefusedField(*this, std::array{Field::kFrequency, Field::kSymbolRate})) return failure;
  frequency = *ParseUnsignedField(frequencyText_);
  symbolRate = *ParseUnsignedField(symbolRateText_);
  return std::nullopt;
}

}  // namespace pelagor
