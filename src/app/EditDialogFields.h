#pragma once
// Pieces the TP and satellite edit dialogs share: edit fields that follow a
// field rule (digits only, length limit) and the message box of a refused
// field.

#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpressionValidator>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "view/DialogValidation.h"
#include "view/WindowTitle.h"

namespace pelagor {

// Shows the message of a field OK refused. Tests replace it so that no
// modal box stands in their way.
using FieldMessageSink = std::function<void(const QString& text)>;

inline QString QtText(std::string_view s) { return QString::fromUtf8(s.data(), int(s.size())); }
inline std::string StdText(const QString& s) { return s.toUtf8().toStdString(); }

inline QLineEdit* MakeRuleEdit(const FieldRule& rule, QWidget* parent, const char* objectName) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(objectName);
  if (rule.digitsOnly) edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
  if (rule.kind == FieldKind::kText && rule.maxChars > 0) edit->setMaxLength(rule.maxChars);
  return edit;
}

inline FieldMessageSink MessageBoxSink(QWidget* parent) {
  return [parent](const QString& text) {
    QMessageBox box(QMessageBox::Warning, QtText(kApplicationTitle), text, QMessageBox::Ok, parent);
    box.setObjectName("fieldMessageBox");
    box.exec();
  };
}

// Puts the focus into a refused field with its text selected, as the user
// is to correct it there.
inline void FocusField(QWidget* w) {
  if (w == nullptr) return;
  w->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
}

}  // namespace pelagor
