#pragma once
// "Edit Channel": the values of an existing channel. The caller fills the
// members from the record, the face shows Texts() after FillTexts() and
// calls Validate() on OK; the members hold the entered values once
// Validate() has passed.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "view/DialogValidation.h"

namespace pelagor {

class CEditChanDlg {
 public:
  // The edit fields, in the order OK checks them.
  enum class Field { kAudioPid, kName, kPcrPid, kVideoPid, kChannelNumber, kServiceId };
  static constexpr int kFieldCount = 6;
  static constexpr std::array<Field, kFieldCount> kCheckOrder{
      Field::kAudioPid, Field::kName, Field::kPcrPid, Field::kVideoPid, Field::kChannelNumber, Field::kServiceId};
  static constexpr std::array<Field, kFieldCount> kScreenOrder{
      Field::kChannelNumber, Field::kName, Field::kVideoPid, Field::kAudioPid, Field::kPcrPid, Field::kServiceId};

  static constexpr std::string_view kEditTitle = "Edit Channel";
  static constexpr std::string_view kNewTitle = "New Channel";
  static constexpr int kNameChars = 20;
  static constexpr uint32_t kMaxPid = 8192;

  [[nodiscard]] static const FieldRule& Rule(Field field);
  [[nodiscard]] std::string_view Title() const { return newChannel ? kNewTitle : kEditTitle; }

  void FillTexts();
  [[nodiscard]] std::string& Text(Field field) { return texts_[size_t(field)]; }
  [[nodiscard]] const std::string& Text(Field field) const { return texts_[size_t(field)]; }

  // OK: the first failing field in check order with its message; nothing
  // when all pass, and then the members hold the values.
  [[nodiscard]] std::optional<ValidationFailure<Field>> Validate();

  uint32_t audioPid = 0;
  std::string name;  // UTF-8, at most 20 characters
  uint32_t pcrPid = 0;
  uint32_t videoPid = 0;
  int32_t channelNumber = 0;  // signed field; callers keep the low 16 bits
  uint32_t serviceId = 0;
  bool newChannel = false;  // only changes the title

 private:
  std::array<std::string, kFieldCount> texts_{};
};

}  // namespace pelagor
