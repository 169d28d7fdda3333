#pragma once
// What the channel dialogs share: edit fields built from a field rule
// (digits-only fields take no other keys; text fields stop growing at their
// limit), and the message box that names a field OK refused.

#include <QValidator>
#include <functional>
#include <string>

#include "view/DialogValidation.h"

class QLineEdit;
class QPushButton;
class QDialog;
class QLayout;

namespace pelagor {

// Refuses typing that would make the text longer than maxChars characters.
// A longer text shown by the program (the caller's value, a line picked
// from a list) stays whole, so OK can still point at it; it may then be
// shortened but not grown.
class TextLimitValidator : public QValidator {
  Q_OBJECT
 public:
  TextLimitValidator(int maxChars, QLineEdit* edit);
  State validate(QString& input, int& pos) const override;
  // Texts that may stand beyond the limit without having been typed.
  void AllowShown(std::function<bool(const QString&)> allow) { allow_ = std::move(allow); }
  // Shows text in an edit whatever its length.
  static void SetText(QLineEdit* edit, const QString& text);

 private:
  int maxChars_;
  bool setting_ = false;
  qsizetype shown_ = 0;  // characters of the edit's text before the change being checked
  std::function<bool(const QString&)> allow_;
};

// The message of a refused field; the dialogs show it and stay open.
using FieldMessageFn = std::function<void(QWidget* dialog, const std::string& text)>;
// A warning box with the application title.
void ShowFieldMessage(QWidget* dialog, const std::string& text);

// An edit field for a rule: digits-only fields accept digits alone, text
// fields are held to their length.
QLineEdit* MakeFieldEdit(QWidget* parent, const FieldRule& rule, const std::string& text, const char* name);
// Focus into the refused field with its text selected, ready to be retyped.
void FocusRefusedField(QLineEdit* edit);
// The "OK" and "Cancel" buttons, OK the default, in a row at the right.
QLayout* MakeOkCancel(QDialog* dialog);

QString Utf8(const std::string& s);
QString Utf8(std::string_view s);

}  // namespace pelagor

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <map>

namespace pelagor {

// The channel fields of the add and edit dialogs share their names.
template <class Field>
const char* ChannelFieldName(Field f) {
  switch (f) {
    case Field::kAudioPid: return "audioPidEdit";
    case Field::kName: return "nameEdit";
    case Field::kPcrPid: return "pcrPidEdit";
    case Field::kVideoPid: return "videoPidEdit";
    case Field::kChannelNumber: return "channelNumberEdit";
    case Field::kServiceId: return "serviceIdEdit";
  }
  return "edit";
}

// The model's edit fields as labelled rows in on-screen order.
template <class Model>
std::map<typename Model::Field, QLineEdit*> AddChannelFields(QFormLayout* form, QWidget* parent, Model& model) {
  std::map<typename Model::Field, QLineEdit*> edits;
  for (auto f : Model::kScreenOrder) {
    const FieldRule& rule = Model::Rule(f);
    QLineEdit* edit = MakeFieldEdit(parent, rule, model.Text(f), ChannelFieldName(f));
    auto* label = new QLabel(Utf8(rule.label), parent);
    label->setBuddy(edit);
    form->addRow(label, edit);
    edits[f] = edit;
  }
  return edits;
}

// OK: the texts go to the model; a refused field gets the message and the
// focus, and the dialog stays open. True when the model took everything.
template <class Model>
bool TakeChannelFields(QWidget* dialog, Model& model, const std::map<typename Model::Field, QLineEdit*>& edits,
                       const FieldMessageFn& message) {
  for (const auto& [f, edit] : edits) model.Text(f) = edit->text().toStdString();
  const auto failure = model.Validate();
  if (!failure) return true;
  message(dialog, failure->message);
  auto it = edits.find(failure->field);
  if (it != edits.end()) FocusRefusedField(it->second);
  return false;
}

}  // namespace pelagor
