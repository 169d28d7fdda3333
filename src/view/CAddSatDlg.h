#pragma once
// The satellite dialog ("Add Satellite", also when editing an entry): a name
// and an orbital position typed as degrees with one decimal and East/West.
// The caller sets name and position, the face shows the texts after
// FillTexts() and calls Validate() on OK; then position and name hold the
// entered values.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "view/DialogValidation.h"

namespace pelagor {

class CAddSatDlg {
 public:
  // The edit fields, in the order OK checks them.
  enum class Field { kLocation, kName };

  static constexpr std::string_view kTitle = "Add Satellite";
  static constexpr std::string_view kNameLabel = "Satellite Name";
  static constexpr std::string_view kLocationLabel = "Location";
  static constexpr std::string_view kEastLabel = "East";
  static constexpr std::string_view kWestLabel = "West";
  static constexpr std::string_view kInvalidLocationText = "Invalid Location! (0 ~ 180)";
  static constexpr int kNameChars = 15;
  static constexpr int kLocationChars = 19;

  [[nodiscard]] static const FieldRule& Rule(Field field);

  // Opening: the location text and East/West from position ("%3.1f", west
  // above 1800), the name text from name.
  void FillTexts();
  [[nodiscard]] std::string& Text(Field field) { return field == Field::kLocation ? locationText : nameText_; }
  [[nodiscard]] const std::string& Text(Field field) const {
    return field == Field::kLocation ? locationText : nameText_;
  }
  // A click on "East" (0) or "West" (1).
  void OnDirection(int west) { westFlag = west == 1 ? 1 : 0; }

  // OK: the location is read as the longest leading decimal number (0 when
  // there is none) and must lie in 0 to 180; then the name may have at most
  // 15 characters.
  [[nodiscard]] std::optional<ValidationFailure<Field>> Validate();

  // The longest leading decimal floating-point part of a text, 0 when none.
  [[nodiscard]] static double LeadingNumber(std::string_view text);
  // The catalogue form of a location: tenths of a degree, 3600 minus them
  // for west, truncated toward zero.
  [[nodiscard]] static int PositionOf(double degrees, bool west);
  // The name as a catalogue entry holds it: ISO 8859-1 bytes, zero-terminated
  // in 16 bytes.
  [[nodiscard]] std::array<uint8_t, 16> NameBytes() const;

  int position = 0;          // tenths of a degree: 0-1800 east, 3600 minus the western value for west
  std::string name;          // UTF-8, at most 15 characters
  std::string locationText;  // the "Location" field
  int westFlag = -1;         // "East" 0 / "West" 1; -1 before opening

 private:
  std::string nameText_;
};

}  // namespace pelagor
