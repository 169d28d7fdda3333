#include "app/CReferenceDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/DialogFields.h"

namespace pelagor {

namespace {

QString Text(const std::string& s) { return QString::fromUtf8(s.data(), int(s.size())); }

QCheckBox* Box(QWidget* parent, const char* text, const char* name, bool on) {
  auto* b = new QCheckBox(QString::fromUtf8(text), parent);
  b->setObjectName(name);
  b->setChecked(on);
  return b;
}

}  // namespace

// ---- Options ----

CApplyOrderDialog::CApplyOrderDialog(CApplyOrderDlg& model, QWidget* parent) : QDialog(parent), model_(model) {
  setObjectName("applyOrderDialog");
  setWindowTitle(Utf8(kApplyOrderCaption));
  auto* outer = new QVBoxLayout(this);
  auto* ref = new QLabel(tr("Reference: %1").arg(Text(model_.referenceName)), this);
  ref->setObjectName("referenceLabel");
  outer->addWidget(ref);

  auto* take = new QGroupBox(tr("Take from the reference"), this);
  auto* takeLayout = new QVBoxLayout(take);
  const ApplyOptions& o = model_.options;
  order_ = Box(take, "&Order (matched channels first, in reference order)", "orderCheck", o.order);
  numbers_ = Box(take, "Channel &numbers", "numbersCheck", o.numbers);
  favourites_ = Box(take, "&Favourite lists", "favouritesCheck", o.favourites);
  locks_ = Box(take, "&Lock flags", "locksCheck", o.locks);
  names_ = Box(take, "N&ames (channels matched by service)", "namesCheck", o.names);
  for (QCheckBox* b : {order_, numbers_, favourites_, locks_, names_}) takeLayout->addWidget(b);
  outer->addWidget(take);

  auto* unmatched = new QGroupBox(tr("Workspace channels not in the reference"), this);
  auto* unmatchedLayout = new QVBoxLayout(unmatched);
  keep_ = new QRadioButton(tr("&Keep them after the matched channels"), unmatched);
  keep_->setObjectName("keepRadio");
  delete_ = new QRadioButton(tr("&Delete them"), unmatched);
  delete_->setObjectName("deleteRadio");
  (o.deleteUnmatched ? delete_ : keep_)->setChecked(true);
  unmatchedLayout->addWidget(keep_);
  unmatchedLayout->addWidget(delete_);
  outer->addWidget(unmatched);
  outer->addLayout(MakeOkCancel(this));
}

void CApplyOrderDialog::accept() {
  ApplyOptions& o = model_.options;
  o.order = order_->isChecked();
  o.numbers = numbers_->isChecked();
  o.favourites = favourites_->isChecked();
  o.locks = locks_->isChecked();
  o.names = names_->isChecked();
  o.deleteUnmatched = delete_->isChecked();
  QDialog::accept();
}

// ---- Report ----

CReferenceReportDialog::CReferenceReportDialog(const CReferenceReportDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("referenceReportDialog");
  setWindowTitle(Text(model_.caption));
  auto* outer = new QVBoxLayout(this);
  for (const std::string& line : model_.summary) outer->addWidget(new QLabel(Text(line), this));
  for (size_t i = 0; i < model_.sections.size(); ++i) {
    const CReferenceReportDlg::Section& s = model_.sections[i];
    auto* group = new QGroupBox(Text(s.heading), this);
    auto* layout = new QVBoxLayout(group);
    auto* list = new QListWidget(group);
    list->setObjectName(QString("sectionList%1").arg(i));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const std::string& line : s.lines) list->addItem(Text(line));
    layout->addWidget(list);
    auto* copy = new QPushButton(tr("&Copy List"), group);
    copy->setObjectName(QString("copyButton%1").arg(i));
    copy->setEnabled(!s.lines.empty());
    connect(copy, &QPushButton::clicked, this, [this, i] { CopySection(int(i)); });
    layout->addWidget(copy, 0, Qt::AlignRight);
    outer->addWidget(group);
  }
  auto* ok = new QPushButton(tr("OK"), this);
  ok->setObjectName("okButton");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  outer->addWidget(ok, 0, Qt::AlignRight);
  resize(560, 480);
}

void CReferenceReportDialog::CopySection(int section) {
  QApplication::clipboard()->setText(Text(model_.SectionText(size_t(section))));
}

// ---- Import ----

CImportChannelsDialog::CImportChannelsDialog(CImportChannelsDlg& model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setObjectName("importChannelsDialog");
  setWindowTitle(Utf8(kImportCaption));
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(new QLabel(tr("Channels of the other list that the workspace does not have:"), this));

  auto* filters = new QHBoxLayout;
  satellite_ = new QComboBox(this);
  satellite_->setObjectName("satelliteFilter");
  for (const std::string& s : model_.SatelliteChoices()) satellite_->addItem(Text(s));
  type_ = new QComboBox(this);
  type_->setObjectName("typeFilter");
  type_->addItems({"All", "TV", "Radio"});
  name_ = new QLineEdit(this);
  name_->setObjectName("nameFilter");
  name_->setPlaceholderText(tr("Name"));
  filters->addWidget(new QLabel(tr("Satellite"), this));
  filters->addWidget(satellite_);
  filters->addWidget(new QLabel(tr("Type"), this));
  filters->addWidget(type_);
  filters->addWidget(name_, 1);
  outer->addLayout(filters);

  table_ = new QTableWidget(this);
  table_->setObjectName("candidateTable");
  table_->setColumnCount(6);
  table_->setHorizontalHeaderLabels({"Chan Name", "Satellite", "Freq.", "Pol.", "SID", "Type"});
  table_->setRowCount(int(model_.candidates.size()));
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->hide();
  filling_ = true;
  for (size_t i = 0; i < model_.candidates.size(); ++i) {
    const ImportCandidate& c = model_.candidates[i];
    auto* name = new QTableWidgetItem(Text(c.line.name));
    name->setFlags(name->flags() | Qt::ItemIsUserCheckable);
    name->setCheckState(i < model_.checked.size() && model_.checked[i] ? Qt::Checked : Qt::Unchecked);
    const int row = int(i);
    table_->setItem(row, 0, name);
    table_->setItem(row, 1, new QTableWidgetItem(Text(c.line.satellite)));
    table_->setItem(row, 2, new QTableWidgetItem(c.line.frequency >= 0 ? QString::number(c.line.frequency) : ""));
    table_->setItem(row, 3, new QTableWidgetItem(Text(c.polarisation)));
    table_->setItem(row, 4, new QTableWidgetItem(c.line.sid >= 0 ? QString::number(c.line.sid) : ""));
    table_->setItem(row, 5, new QTableWidgetItem(c.radio ? "Radio" : "TV"));
  }
  filling_ = false;
  table_->resizeColumnsToContents();
  outer->addWidget(table_, 1);

  auto* checks = new QHBoxLayout;
  auto* all = new QPushButton(tr("Check &All Shown"), this);
  all->setObjectName("checkAllButton");
  auto* none = new QPushButton(tr("&Uncheck All Shown"), this);
  none->setObjectName("uncheckAllButton");
  count_ = new QLabel(this);
  count_->setObjectName("checkedCount");
  checks->addWidget(all);
  checks->addWidget(none);
  checks->addStretch(1);
  checks->addWidget(count_);
  outer->addLayout(checks);
  outer->addLayout(MakeOkCancel(this));

  auto setShown = [this](bool on) {
    model_.CheckShown(on);
    filling_ = true;
    for (int row = 0; row < table_->rowCount(); ++row)
      table_->item(row, 0)->setCheckState(model_.checked[size_t(row)] ? Qt::Checked : Qt::Unchecked);
    filling_ = false;
    UpdateCount();
  };
  connect(all, &QPushButton::clicked, this, [setShown] { setShown(true); });
  connect(none, &QPushButton::clicked, this, [setShown] { setShown(false); });
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (filling_ || item->column() != 0) return;
    model_.checked.resize(model_.candidates.size(), false);
    model_.checked[size_t(item->row())] = item->checkState() == Qt::Checked;
    UpdateCount();
  });
  connect(satellite_, &QComboBox::currentIndexChanged, this, [this] { ApplyFilters(); });
  connect(type_, &QComboBox::currentIndexChanged, this, [this] { ApplyFilters(); });
  connect(name_, &QLineEdit::textChanged, this, [this] { ApplyFilters(); });
  ApplyFilters();
  resize(640, 480);
}

void CImportChannelsDialog::ApplyFilters() {
  model_.satelliteFilter = std::max(0, satellite_->currentIndex());
  model_.typeFilter = std::max(0, type_->currentIndex());
  model_.nameFilter = name_->text().toStdString();
  std::vector<bool> shown(model_.candidates.size(), false);
  for (size_t i : model_.ShownRows()) shown[i] = true;
  for (int row = 0; row < table_->rowCount(); ++row) table_->setRowHidden(row, !shown[size_t(row)]);
  UpdateCount();
}

void CImportChannelsDialog::UpdateCount() {
  count_->setText(tr("%1 of %2 checked").arg(model_.CheckedCount()).arg(model_.candidates.size()));
}

void CImportChannelsDialog::accept() { QDialog::accept(); }

}  // namespace pelagor
