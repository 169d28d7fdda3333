#include "view/CFavNameDlg.h"

namespace pelagor {

const FieldRule& CFavNameDlg::Rule(Field) {
  static const FieldRule kRule{"Favorite Name", FieldKind::kText, false, 0, 0, kNameChars, false};
  return kRule;
}

std::optional<ValidationFailure<CFavNameDlg::Field>> CFavNameDlg::Validate() {
  if (auto message = CheckField(Rule(Field::kName), text_)) return ValidationFailure<Field>{Field::kName, *message};
  name = text_;
  return std::nullopt;
}

}  // namespace pelagor
