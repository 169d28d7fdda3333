#pragma once
// Field checks shared by the dialog models: the number readers and the
// standard messages a dialog shows when OK finds a field it cannot take.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pelagor {

// The field a dialog refused on OK and the message it shows for it. Field is
// the dialog's own enum of its fields.
template <class Field>
struct ValidationFailure {
  Field field;
  std::string message;
};

inline constexpr std::string_view kPositiveIntegerText = "Please enter a positive integer.";
inline constexpr std::string_view kIntegerText = "Please enter an integer.";

// "Please enter an integer between %1 and %2." with the limits filled in.
[[nodiscard]] std::string IntegerRangeText(int64_t low, int64_t high);
// "Please enter no more than %1 characters."
[[nodiscard]] std::string MaxCharsText(int maxChars);

// A whole non-negative decimal number that fits 32 bits. Blanks around the
// digits are allowed, nothing else.
[[nodiscard]] std::optional<uint32_t> ParseUnsignedField(std::string_view text);
// The same with an optional sign, fitting a signed 32-bit number.
[[nodiscard]] std::optional<int32_t> ParseIntegerField(std::string_view text);

// Characters of UTF-8 text (code points; a broken byte counts as one).
[[nodiscard]] size_t CharacterCount(std::string_view utf8);
// The first n characters of UTF-8 text.
[[nodiscard]] std::string FirstCharacters(std::string_view utf8, size_t n);

// What an edit field takes and how OK checks it.
enum class FieldKind { kUnsigned, kInteger, kText };
struct FieldRule {
  std::string_view label;
  FieldKind kind = FieldKind::kText;
  bool ranged = false;  // numbers: low..high apply
  uint32_t low = 0;
  uint32_t high = 0;
  int maxChars = 0;         // text: the most characters taken (0: no limit)
  bool digitsOnly = false;  // only digits can be typed into the field
};
// The message for text that the rule refuses, nothing when it passes.
[[nodiscard]] std::optional<std::string> CheckField(const FieldRule& rule, std::string_view text);

// OK's checks: the first of the fields, in the order given, whose text its
// rule refuses, with the message; nothing when all pass.
template <class Dialog, class Fields>
[[nodiscard]] std::optional<ValidationFailure<typename Dialog::Field>> FirstRefusedField(const Dialog& dialog,
                                                                                         const Fields& order) {
  for (typename Dialog::Field f : order) {
    if (auto message = CheckField(Dialog::Rule(f), dialog.Text(f)))
      return ValidationFailure<typename Dialog::Field>{f, std::move(*message)};
  }
  return std::nullopt;
}

// Checks of one field, each giving the message when it fails.
[[nodiscard]] std::optional<std::string> CheckUnsigned(std::string_view text, uint32_t low, uint32_t high,
                                                       uint32_t& out);
[[nodiscard]] std::optional<std::string> CheckUnsigned(std::string_view text, uint32_t& out);  // no range
[[nodiscard]] std::optional<std::string> CheckInteger(std::string_view text, int32_t& out);    // no range
[[nodiscard]] std::optional<std::string> CheckMaxChars(std::string_view text, int maxChars);

}  // namespace pelagor
