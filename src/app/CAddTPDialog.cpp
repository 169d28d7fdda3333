#include "app/CAddTPDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

#include "view/CAddTPDlg.h"

namespace pelagor {
namespace {

// A radio group in a titled box, the buttons named prefix0, prefix1, ...;
// the button of value checked is set (none for a value without a button).
template <size_t N>
QButtonGroup* RadioBox(QWidget* parent, QLayout* into, std::string_view title,
                       const std::array<std::string_view, N>& texts, const char* prefix, int checked) {
  auto* box = new QGroupBox(Utf8(title), parent);
  auto* row = new QHBoxLayout(box);
  auto* group = new QButtonGroup(box);
  for (size_t i = 0; i < N; ++i) {
    auto* b = new QRadioButton(Utf8(texts[i]), box);
    b->setObjectName(QString("%1%2").arg(prefix).arg(i));
    group->addButton(b, int(i));
    row->addWidget(b);
    if (int(i) == checked) b->setChecked(true);
  }
  into->addWidget(box);
  return group;
}

}  // namespace

CAddTPDialog::CAddTPDialog(CAddTPDlg& model, QWidget* parent)
    : QDialog(parent), model_(model), sink_(ShowFieldMessage) {
  setObjectName("satelliteTpDialog");
  setWindowTitle(Utf8(model_.Title()));
  model_.FillTexts();

  using F = CAddTPDlg::Field;
  auto* satellite = new QLineEdit(QString::fromStdString(model_.satelliteText), this);
  satellite->setObjectName("satelliteText");
  satellite->setReadOnly(true);
  satellite->setFocusPolicy(Qt::NoFocus);
  frequency_ = MakeFieldEdit(this, CAddTPDlg::Rule(F::kFrequency), std::string(), "frequencyEdit");
  frequency_->setText(QString::fromStdString(model_.Text(F::kFrequency)));
  symbolRate_ = MakeFieldEdit(this, CAddTPDlg::Rule(F::kSymbolRate), std::string(), "symbolRateEdit");
  symbolRate_->setText(QString::fromStdString(model_.Text(F::kSymbolRate)));

  auto* form = new QFormLayout;
  form->addRow(Utf8(CAddTPDlg::kSatelliteLabel), satellite);
  form->addRow(Utf8(CAddTPDlg::Rule(F::kFrequency).label), frequency_);
  form->addRow(Utf8(CAddTPDlg::Rule(F::kSymbolRate).label), symbolRate_);

  auto* groups = new QVBoxLayout;
  polarity_ = RadioBox(this, groups, CAddTPDlg::kPolarityLabel, CAddTPDlg::kPolarityTexts, "polarity", model_.polarity);
  modulation_ =
      RadioBox(this, groups, CAddTPDlg::kModulationLabel, CAddTPDlg::kModulationTexts, "modulation", model_.modulation);
  fec_ = new QComboBox(this);
  fec_->setObjectName("fecCombo");
  fec_->setMinimumContentsLength(6);
  auto* fecRow = new QFormLayout;
  fecRow->addRow(Utf8(CAddTPDlg::kFecLabel), fec_);
  groups->addLayout(fecRow);
  pilot_ = RadioBox(this, groups, CAddTPDlg::kPilotLabel, CAddTPDlg::kPilotTexts, "pilot", model_.pilot);

  FillFecList();
  fec_->setCurrentIndex(model_.fecIndex >= 0 && model_.fecIndex < fec_->count() ? model_.fecIndex : -1);
  connect(modulation_, &QButtonGroup::idClicked, this, [this](int m) {
    model_.OnModulation(m);
    FillFecList();
    fec_->setCurrentIndex(fec_->count() > 0 ? 0 : -1);
  });

  auto* outer = new QVBoxLayout(this);
  outer->addLayout(form);
  outer->addLayout(groups);
  outer->addLayout(MakeOkCancel(this));
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  frequency_->setFocus();
}

void CAddTPDialog::FillFecList() {
  fec_->clear();
  for (std::string_view text : CAddTPDlg::FecChoices(model_.modulation)) fec_->addItem(Utf8(text));
}

void CAddTPDialog::accept() {
  using F = CAddTPDlg::Field;
  // A group with no button set (a value the dialog does not offer) keeps
  // what the caller gave.
  if (polarity_->checkedId() >= 0) model_.polarity = polarity_->checkedId();
  if (modulation_->checkedId() >= 0) model_.modulation = modulation_->checkedId();
  if (pilot_->checkedId() >= 0) model_.pilot = pilot_->checkedId();
  // A Turbo TP (no FEC list here) keeps its FEC; an offered list with
  // nothing selected gives -1, which the model turns into 0.
  if (fec_->count() > 0) model_.fecIndex = fec_->currentIndex();
  model_.Text(F::kFrequency) = frequency_->text().toUtf8().toStdString();
  model_.Text(F::kSymbolRate) = symbolRate_->text().toUtf8().toStdString();
  if (auto failure = model_.Validate()) {
    sink_(this, failure->message);
    FocusRefusedField(failure->field == F::kSymbolRate ? symbolRate_ : frequency_);
    return;
  }
  QDialog::accept();
}

}  // namespace pelagor
