#include "view/CAddSatDlg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "view/RecordText.h"

namespace pelagor {

const FieldRule& CAddSatDlg::Rule(Field field) {
  static const FieldRule kLocation{kLocationLabel, FieldKind::kText, false, 0, 0, kLocationChars, false};
  static const FieldRule kName{kNameLabel, FieldKind::kText, false, 0, 0, kNameChars, false};
  return field == Field::kLocation ? kLocation : kName;
}

void CAddSatDlg::FillTexts() {
  char buf[32];
  const bool west = position > 1800;
  std::snprintf(buf, sizeof buf, "%3.1f", double(west ? 3600 - position : position) / 10.0);
  locationText = buf;
  westFlag = west ? 1 : 0;
  nameText_ = name;
}

double CAddSatDlg::LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const size_t start = i;
  auto digits = [&] {
    const size_t from = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - from;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissa = digits();
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return 0.0;
  size_t end = i;
  // An exponent counts only when digits follow it.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() > 0) end = i;
  }
  std::string_view number = text.substr(start, end - start);
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);  // from_chars takes no '+'
  double v = 0.0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), v);
  if (r.ec == std::errc::result_out_of_range) {
    // Too large for a double: far outside 0 to 180 either way.
    return number.front() == '-' ? -HUGE_VAL : HUGE_VAL;
  }
  return r.ec == std::errc() ? v : 0.0;
}

int CAddSatDlg::PositionOf(double degrees, bool west) {
  const double tenths = west ? 3600.0 - degrees * 10.0 : degrees * 10.0;
  return int(std::trunc(tenths));
}

std::optional<ValidationFailure<CAddSatDlg::Field>> CAddSatDlg::Validate() {
  locationText = FirstCharacters(locationText, size_t(kLocationChars));
  const double v = LeadingNumber(locationText);
  if (!(v >= 0.0 && v <= 180.0)) {
    return ValidationFailure<Field>{Field::kLocation, std::string(kInvalidLocationText)};
  }
  position = PositionOf(v, westFlag == 1);
  if (auto message = CheckField(Rule(Field::kName), nameText_)) {
    return ValidationFailure<Field>{Field::kName, std::move(*message)};
  }
  name = nameText_;
  return std::nullopt;
}

std::array<uint8_t, 16> CAddSatDlg::NameBytes() const {
  std::array<uint8_t, 16> out{};
  const std::string bytes = EncodeRecordText(name);
  std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), size_t(kNameChars)), out.begin());
  return out;
}

}  // namespace pelagor
