#include "app/DialogFields.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include "view/WindowTitle.h"

namespace pelagor {

QString Utf8(const std::string& s) { return QString::fromStdString(s); }
QString Utf8(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

TextLimitValidator::TextLimitValidator(int maxChars, QLineEdit* edit) : QValidator(edit), maxChars_(maxChars) {
  // The edit checks a change before it announces it, so this still holds
  // the length before the change when validate runs.
  shown_ = edit->text().toUcs4().size();
  connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { shown_ = text.toUcs4().size(); });
}

QValidator::State TextLimitValidator::validate(QString& input, int&) const {
  const qsizetype chars = input.toUcs4().size();
  if (setting_ || maxChars_ <= 0 || chars <= maxChars_) return Acceptable;
  if (allow_ && allow_(input)) return Acceptable;
  // Over the limit: shortening is fine (OK still refuses it), growing is not.
  return chars <= shown_ ? Intermediate : Invalid;
}

void TextLimitValidator::SetText(QLineEdit* edit, const QString& text) {
  auto* limit = qobject_cast<TextLimitValidator*>(const_cast<QValidator*>(edit->validator()));
  if (limit != nullptr) limit->setting_ = true;
  edit->setText(text);
  if (limit != nullptr) limit->setting_ = false;
}

void ShowFieldMessage(QWidget* dialog, const std::string& text) {
  QMessageBox box(QMessageBox::Warning, Utf8(kApplicationTitle), Utf8(text), QMessageBox::Ok, dialog);
  box.setObjectName("fieldMessageBox");
  box.exec();
}

QLineEdit* MakeFieldEdit(QWidget* parent, const FieldRule& rule, const std::string& text, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  if (rule.digitsOnly) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
  } else if (rule.kind == FieldKind::kText && rule.maxChars > 0) {
    edit->setValidator(new TextLimitValidator(rule.maxChars, edit));
  }
  // A text from the caller is shown whatever it holds.
  TextLimitValidator::SetText(edit, Utf8(text));
  return edit;
}

void FocusRefusedField(QLineEdit* edit) {
  if (edit == nullptr) return;
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}

QLayout* MakeOkCancel(QDialog* dialog) {
  auto* ok = new QPushButton("OK", dialog);
  ok->setObjectName("okButton");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", dialog);
  cancel->setObjectName("cancelButton");
  cancel->setAutoDefault(false);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

}  // namespace pelagor
