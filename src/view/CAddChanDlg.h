#pragma once
// "Add Channel": the values of a new channel. The caller sets the members
// (the satellite and transponder texts at least), the face shows Texts()
// after FillTexts(), lets the user edit them and calls Validate() on OK; the
// members hold the entered values once Validate() has passed.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "view/DialogValidation.h"

namespace pelagor {

class CAddChanDlg {
 public:
  // The edit fields, in the order OK checks them.
  enum class Field { kAudioPid, kName, kPcrPid, kVideoPid, kChannelNumber, kServiceId };
  static constexpr int kFieldCount = 6;
  static constexpr std::array<Field, kFieldCount> kCheckOrder{
      Field::kAudioPid, Field::kName, Field::kPcrPid, Field::kVideoPid, Field::kChannelNumber, Field::kServiceId};
  // On screen, below the "Satellite" and "Transponder" texts.
  static constexpr std::array<Field, kFieldCount> kScreenOrder{
      Field::kChannelNumber, Field::kName, Field::kVideoPid, Field::kAudioPid, Field::kPcrPid, Field::kServiceId};

  static constexpr std::string_view kTitle = "Add Channel";
  static constexpr std::string_view kSatelliteLabel = "Satellite";
  static constexpr std::string_view kTransponderLabel = "Transponder";
  static constexpr int kNameChars = 20;
  static constexpr uint32_t kMaxPid = 8192;

  // Label, kind, limits and typing rule of a field.
  [[nodiscard]] static const FieldRule& Rule(Field field);

  // Texts of the fields from the members, as the dialog shows them on opening.
  void FillTexts();
  [[nodiscard]] std::string& Text(Field field) { return texts_[size_t(field)]; }
  [[nodiscard]] const std::string& Text(Field field) const { return texts_[size_t(field)]; }

  // OK: the first field, in check order, that cannot be taken, with its
  // message; nothing when all pass, and then the members hold the values.
  [[nodiscard]] std::optional<ValidationFailure<Field>> Validate();

  uint32_t audioPid = 0;
  std::string name;  // UTF-8, at most 20 characters
  uint32_t pcrPid = 0;
  uint32_t videoPid = 0;
  std::string satelliteText;    // shown, not editable; set by the caller
  std::string transponderText;  // shown, not editable; set by the caller
  uint32_t channelNumber = 0;   // starts at 0, which OK refuses: the user must choose one
  uint32_t serviceId = 0;

 private:
  std::array<std::string, kFieldCount> texts_{};
};

}  // namespace pelagor
