#pragma once
// "Set Favorite Name": the new name of the shown favourite list. The caller
// sets name to the current one; the face shows Text() after FillTexts() and
// calls Validate() on OK, after which name holds the entered text.

#include <optional>
#include <string>
#include <string_view>

#include "view/DialogValidation.h"

namespace pelagor {

class CFavNameDlg {
 public:
  enum class Field { kName };
  static constexpr std::string_view kTitle = "Set Favorite Name";
  static constexpr std::string_view kPrompt = "Enter Favorite List Name";
  static constexpr int kNameChars = 19;

  [[nodiscard]] static const FieldRule& Rule(Field field);

  void FillTexts() { text_ = name; }
  [[nodiscard]] std::string& Text(Field = Field::kName) { return text_; }
  [[nodiscard]] const std::string& Text(Field = Field::kName) const { return text_; }

  [[nodiscard]] std::optional<ValidationFailure<Field>> Validate();

  std::string name;  // UTF-8, at most 19 characters

 private:
  std::string text_;
};

}  // namespace pelagor
