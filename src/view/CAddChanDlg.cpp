#include "view/CAddChanDlg.h"

namespace pelagor {

const FieldRule& CAddChanDlg::Rule(Field field) {
  static const std::array<FieldRule, kFieldCount> kRules{{
      {"Audio PID", FieldKind::kUnsigned, true, 0, kMaxPid, 0, true},
      {"Channel Name", FieldKind::kText, false, 0, 0, kNameChars, false},
      {"PCR PID", FieldKind::kUnsigned, true, 0, kMaxPid, 0, true},
      {"Video PID", FieldKind::kUnsigned, true, 0, kMaxPid, 0, true},
      {"Channel No.", FieldKind::kUnsigned, true, 1, 65535, 0, false},
      {"SID", FieldKind::kUnsigned, false, 0, 0, 0, true},
  }};
  return kRules[size_t(field)];
}

void CAddChanDlg::FillTexts() {
  Text(Field::kAudioPid) = std::to_string(audioPid);
  Text(Field::kName) = name;
  Text(Field::kPcrPid) = std::to_string(pcrPid);
  Text(Field::kVideoPid) = std::to_string(videoPid);
  Text(Field::kChannelNumber) = std::to_string(channelNumber);
  Text(Field::kServiceId) = std::to_string(serviceId);
}

std::optional<ValidationFailure<CAddChanDlg::Field>> CAddChanDlg::Validate() {
  if (auto failure = FirstRefusedField(*this, kCheckOrder)) return failure;
  audioPid = *ParseUnsignedField(Text(Field::kAudioPid));
  name = Text(Field::kName);
  pcrPid = *ParseUnsignedField(Text(Field::kPcrPid));
  videoPid = *ParseUnsignedField(Text(Field::kVideoPid));
  channelNumber = *ParseUnsignedField(Text(Field::kChannelNumber));
  serviceId = *ParseUnsignedField(Text(Field::kServiceId));
  return std::nullopt;
}

}  // namespace pelagor
