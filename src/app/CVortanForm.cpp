#include "app/CVortanForm.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QKeyEvent>
#include <QRadioButton>
#include <QSettings>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

#include "app/CChannelListModel.h"
#include "app/CDragDropListCtrl.h"
#include "app/CQtModalHost.h"
#include "app/CWrapLayout.h"
#include "app/ColumnWidths.h"
#include "app/CSimulatedReceiver.h"
#include "app/CTransferDialog.h"
#include "app/CTpListModel.h"
#include "link/CComPortDlg.h"
#include "view/CVortanView.h"

namespace pelagor {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Q(std::string_view s) { return QString::fromUtf8(s.data(), int(s.size())); }

template <class List = QTableView>
List* MakeList(QWidget* parent, const char* name) {
  auto* t = new List(parent);
  t->setObjectName(name);
  t->setSelectionBehavior(QAbstractItemView::SelectRows);
  t->setSelectionMode(QAbstractItemView::ExtendedSelection);
  t->setShowGrid(true);
  t->setWordWrap(false);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setContextMenuPolicy(Qt::CustomContextMenu);
  // Tab leaves the list for the next control; the arrows move within it.
  t->setTabKeyNavigation(false);
  t->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  t->verticalHeader()->hide();
  t->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 4);
  t->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  t->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  t->horizontalHeader()->setHighlightSections(false);
  t->horizontalHeader()->setStretchLastSection(false);
  return t;
}

// Keys a list handles itself (without modifiers), before the view's own
// key handling; the handler says whether it took the key.
class KeyCommands : public QObject {
 public:
  KeyCommands(QObject* parent, std::function<bool(int)> handler) : QObject(parent), handler_(std::move(handler)) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && handler_(key->key())) return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<bool(int)> handler_;
};

}  // namespace

CVortanForm::CVortanForm(QWidget* parent) : QWidget(parent) {
  setObjectName("vortanForm");
  modal_ = std::make_unique<CQtModalHost>(this);
  sim_ = new CSimulatedReceiver(this);
  view_ = std::make_unique<CVortanView>(*this);
  BuildControls();
  ConnectControls();
}

CVortanForm::~CVortanForm() = default;

void CVortanForm::SetModalHost(std::unique_ptr<CModalHost> host) {
  if (host) modal_ = std::move(host);
}

QAbstractButton* CVortanForm::AddButton(ControlId id, QAbstractButton* button) {
  controls_[id] = button;
  return button;
}

void CVortanForm::BuildControls() {
  // Left: tuners, satellite, TP list. Right: filters, channel list. The
  // lists take all the height below their controls; the channel list also
  // takes every pixel of width the left column does not need.
  auto* tunerBox = new QGroupBox("Tuner", this);
  auto* tunerGrid = new QGridLayout(tunerBox);
  const ControlId typeIds[2][3] = {{ControlId::kTuner1DvbS, ControlId::kTuner1DvbT, ControlId::kTuner1DvbC},
                                   {ControlId::kTuner2DvbS, ControlId::kTuner2DvbT, ControlId::kTuner2DvbC}};
  const char* typeTexts[3] = {"DVB-S", "DVB-T", "DVB-C"};
  for (int tuner = 0; tuner < 2; ++tuner) {
    auto* check = new QCheckBox(tuner == 0 ? "Tuner1" : "Tuner2", tunerBox);
    check->setObjectName(tuner == 0 ? "tuner1" : "tuner2");
    AddButton(tuner == 0 ? ControlId::kTuner1 : ControlId::kTuner2, check);
    tunerGrid->addWidget(check, tuner, 0);
    auto* group = new QButtonGroup(tunerBox);
    for (int type = 0; type < 3; ++type) {
      auto* radio = new QRadioButton(typeTexts[type], tunerBox);
      radio->setObjectName(QString("tuner%1Type%2").arg(tuner + 1).arg(type));
      group->addButton(radio, type);
      AddButton(typeIds[tuner][type], radio);
      tunerGrid->addWidget(radio, tuner, type + 1);
    }
  }

  auto* satGroup = new QGroupBox("Satellite", this);
  satGroup->setObjectName("satelliteGroup");
  controls_[ControlId::kSatelliteGroup] = satGroup;
  auto* satColumn = new QVBoxLayout(satGroup);
  auto* satCombo = new QComboBox(satGroup);
  satCombo->setObjectName("satelliteCombo");
  satCombo->setMaxVisibleItems(20);
  satCombo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  satCombo->setMinimumContentsLength(16);
  combos_[ComboId::kSatellite] = satCombo;
  controls_[ControlId::kSatelliteCombo] = satCombo;
  satColumn->addWidget(satCombo);
  // The sort group and the three buttons share a row while the column is
  // wide enough, and wrap when it is narrowed.
  auto* satRow = new CWrapLayout;
  auto* sortGroup = new QGroupBox("Sort", satGroup);
  sortGroup->setObjectName("sortGroup");
  controls_[ControlId::kSortGroup] = sortGroup;
  auto* sortRow = new QHBoxLayout(sortGroup);
  auto* sortButtons = new QButtonGroup(sortGroup);
  auto* alphabet = new QRadioButton("Alphabet", sortGroup);
  alphabet->setObjectName("alphabet");
  auto* location = new QRadioButton("Location", sortGroup);
  location->setObjectName("location");
  sortButtons->addButton(alphabet);
  sortButtons->addButton(location);
  AddButton(ControlId::kAlphabet, alphabet);
  AddButton(ControlId::kLocation, location);
  sortRow->addWidget(alphabet);
  sortRow->addWidget(location);
  sortGroup->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
  satRow->addWidget(sortGroup);
  auto* satButtons = new QWidget(satGroup);
  auto* satButtonRow = new QHBoxLayout(satButtons);
  satButtonRow->setContentsMargins(0, 0, 0, 0);
  for (auto [id, text, name] :
       {std::tuple{ControlId::kSatAdd, "Add", "satAdd"}, std::tuple{ControlId::kSatDelete, "Delete", "satDelete"},
        std::tuple{ControlId::kSatEdit, "Edit", "satEdit"}}) {
    auto* b = new QPushButton(text, satGroup);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance("Delete") + 16);
    AddButton(id, b);
    satButtonRow->addWidget(b);
  }
  satRow->addWidget(satButtons);
  satColumn->addLayout(satRow);

  auto* tpGroup = new QGroupBox("Transponder", this);
  tpGroup->setObjectName("transponderGroup");
  controls_[ControlId::kTransponderGroup] = tpGroup;
  tps_ = MakeList(tpGroup, "tpList");
  controls_[ControlId::kTpList] = tps_;
  tpModel_ = new CTpListModel(this);
  tps_->setModel(tpModel_);
  (new QVBoxLayout(tpGroup))->addWidget(tps_);

  // The left column sits in a splitter: the user gives the channel list
  // more room by dragging or collapsing it.
  auto* leftColumn = new QWidget(this);
  leftColumn->setObjectName("leftColumn");
  auto* left = new QVBoxLayout(leftColumn);
  left->setContentsMargins(0, 0, 0, 0);
  left->addWidget(tunerBox);
  left->addWidget(satGroup);
  left->addWidget(tpGroup, 1);

  // Right column: service type and the filter combos.
  auto* serviceBox = new QGroupBox("Service", this);
  auto* serviceRow = new QHBoxLayout(serviceBox);
  auto* serviceButtons = new QButtonGroup(serviceBox);
  auto* tv = new QRadioButton("TV", serviceBox);
  tv->setObjectName("tv");
  auto* radio = new QRadioButton("Radio", serviceBox);
  radio->setObjectName("radio");
  serviceButtons->addButton(tv);
  serviceButtons->addButton(radio);
  AddButton(ControlId::kTv, tv);
  AddButton(ControlId::kRadio, radio);
  serviceRow->addWidget(tv);
  serviceRow->addWidget(radio);

  // Each filter keeps its label beside its combo; the filters wrap onto a
  // second line in a narrow window.
  auto* filterBox = new QGroupBox("Filter", this);
  filterBox->setObjectName("filterGroup");
  auto* filterRow = new CWrapLayout(filterBox, 14, 4);
  auto* favButton = new QPushButton("Favorite", filterBox);
  favButton->setObjectName("favoriteButton");
  favButton->setAutoDefault(false);
  AddButton(ControlId::kFavoriteButton, favButton);
  auto addCombo = [&](ComboId id, ControlId control, const char* name, QWidget* label) {
    auto* pair = new QWidget(filterBox);
    auto* pairRow = new QHBoxLayout(pair);
    pairRow->setContentsMargins(0, 0, 0, 0);
    if (label != nullptr) pairRow->addWidget(label);
    auto* c = new QComboBox(pair);
    c->setObjectName(name);
    c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combos_[id] = c;
    controls_[control] = c;
    pairRow->addWidget(c);
    filterRow->addWidget(pair);
    return c;
  };
  addCombo(ComboId::kFavorite, ControlId::kFavoriteCombo, "favoriteCombo", favButton)->setMinimumContentsLength(12);
  addCombo(ComboId::kCas, ControlId::kCasCombo, "casCombo", new QLabel("CAS", filterBox));
  addCombo(ComboId::kSatFilter, ControlId::kSatFilterCombo, "satFilterCombo", new QLabel("SAT", filterBox));
  addCombo(ComboId::kTpFilter, ControlId::kTpFilterCombo, "tpFilterCombo", new QLabel("TP", filterBox));

  auto* filters = new CWrapLayout(nullptr, 6, 4);
  filters->addWidget(serviceBox);
  filters->addWidget(filterBox);

  auto* chanGroup = new QGroupBox("Channels", this);
  chanGroup->setObjectName("channelsGroup");
  controls_[ControlId::kChannelsGroup] = chanGroup;
  channels_ = MakeList<CDragDropListCtrl>(chanGroup, "channelList");
  controls_[ControlId::kChannelList] = channels_;
  channelModel_ = new CChannelListModel(*view_, this);
  channels_->setModel(channelModel_);
  find_ = new QLineEdit(chanGroup);
  find_->setObjectName("findField");
  find_->setPlaceholderText("Find channel name");
  find_->setClearButtonEnabled(true);
  // Esc empties the field while it has the focus.
  auto* clearFind = new QAction(find_);
  clearFind->setShortcut(Qt::Key_Escape);
  clearFind->setShortcutContext(Qt::WidgetShortcut);
  connect(clearFind, &QAction::triggered, find_, &QLineEdit::clear);
  find_->addAction(clearFind);
  connect(find_, &QLineEdit::textChanged, this,
          [this](const QString& text) { view_->OnFindTextChanged(text.toStdString()); });
  auto* chanLayout = new QVBoxLayout(chanGroup);
  chanLayout->addWidget(find_);
  chanLayout->addWidget(channels_);

  auto* rightColumn = new QWidget(this);
  rightColumn->setObjectName("rightColumn");
  auto* right = new QVBoxLayout(rightColumn);
  right->setContentsMargins(0, 0, 0, 0);
  right->addLayout(filters);
  right->addWidget(chanGroup, 1);

  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName("mainSplitter");
  splitter_->setChildrenCollapsible(false);
  splitter_->addWidget(leftColumn);
  splitter_->addWidget(rightColumn);
  splitter_->setCollapsible(0, true);
  splitter_->setCollapsible(1, false);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  // Room for the DVB-S TP columns and a scroll bar unless the profile
  // remembers another width.
  splitter_->setSizes({kLeftColumnWidth, 1000});
  const QByteArray saved = QSettings().value(kSplitterKey).toByteArray();
  if (!saved.isEmpty()) splitter_->restoreState(saved);
  connect(splitter_, &QSplitter::splitterMoved, this,
          [this] { QSettings().setValue(kSplitterKey, splitter_->saveState()); });

  auto* outer = new QHBoxLayout(this);
  outer->setContentsMargins(8, 6, 8, 6);
  outer->addWidget(splitter_);
  SetTabOrder();
}

void CVortanForm::SetTabOrder() {
  // Tab goes from the search field to the list it searches, then to the
  // filters that narrow it, and on to the left column.
  std::vector<QWidget*> chain{find_,
                              channels_,
                              Control(ControlId::kTv),
                              Control(ControlId::kRadio),
                              Control(ControlId::kFavoriteButton),
                              Combo(ComboId::kFavorite),
                              Combo(ComboId::kCas),
                              Combo(ComboId::kSatFilter),
                              Combo(ComboId::kTpFilter)};
  for (ControlId id : {ControlId::kTuner1, ControlId::kTuner1DvbS, ControlId::kTuner1DvbT, ControlId::kTuner1DvbC,
                       ControlId::kTuner2, ControlId::kTuner2DvbS, ControlId::kTuner2DvbT, ControlId::kTuner2DvbC,
                       ControlId::kSatelliteCombo, ControlId::kAlphabet, ControlId::kLocation, ControlId::kSatAdd,
                       ControlId::kSatDelete, ControlId::kSatEdit, ControlId::kTpList})
    chain.push_back(Control(id));
  for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void CVortanForm::ConnectControls() {
  const ControlId typeIds[2][3] = {{ControlId::kTuner1DvbS, ControlId::kTuner1DvbT, ControlId::kTuner1DvbC},
                                   {ControlId::kTuner2DvbS, ControlId::kTuner2DvbT, ControlId::kTuner2DvbC}};
  // clicked and activated come from the user only, so the view's own
  // updates of these controls do not come back as notifications.
  for (int tuner = 0; tuner < 2; ++tuner)
    for (int type = 0; type < 3; ++type)
      connect(Button(typeIds[tuner][type]), &QAbstractButton::clicked, this,
              [this, tuner, type] { view_->OnDeliveryTypeButton(tuner, type); });
  connect(Button(ControlId::kTuner1), &QAbstractButton::clicked, this, [this] { view_->OnTuner1Button(); });
  connect(Button(ControlId::kTuner2), &QAbstractButton::clicked, this, [this] { view_->OnTuner2Button(); });
  connect(Button(ControlId::kTv), &QAbstractButton::clicked, this,
          [this] { view_->OnServiceTypeButton(ServiceType::kTv); });
  connect(Button(ControlId::kRadio), &QAbstractButton::clicked, this,
          [this] { view_->OnServiceTypeButton(ServiceType::kRadio); });
  connect(Button(ControlId::kAlphabet), &QAbstractButton::clicked, this,
          [this] { view_->OnSatelliteOrderButton(SatelliteOrder::kAlphabet); });
  connect(Button(ControlId::kLocation), &QAbstractButton::clicked, this,
          [this] { view_->OnSatelliteOrderButton(SatelliteOrder::kLocation); });
  connect(Combo(ComboId::kSatellite), &QComboBox::activated, this,
          [this](int i) { view_->OnSatelliteComboChanged(i); });
  connect(Combo(ComboId::kFavorite), &QComboBox::activated, this, [this](int i) { view_->OnFavoriteComboChanged(i); });
  connect(Combo(ComboId::kCas), &QComboBox::activated, this, [this](int i) { view_->OnCasComboChanged(i); });
  connect(Combo(ComboId::kSatFilter), &QComboBox::activated, this, [this](int i) { view_->OnSatFilterChanged(i); });
  connect(Combo(ComboId::kTpFilter), &QComboBox::activated, this, [this](int i) { view_->OnTpFilterChanged(i); });
  connect(tps_, &QAbstractItemView::clicked, this, [this] { view_->OnTpListClick(); });
  connect(channels_, &QWidget::customContextMenuRequested, this, &CVortanForm::ShowChannelMenu);
  // The channel list's keys and double-click, the drag and the drop.
  connect(channels_, &QAbstractItemView::doubleClicked, this,
          [this] { view_->OnChannelMenuCommand(ChanMenuItem::kEditChannel); });
  channels_->SetKeyHandler([this](int key) {
    switch (key) {
      case Qt::Key_Insert: view_->OnChannelMenuCommand(ChanMenuItem::kAddChannel); return true;
      case Qt::Key_Return:
      case Qt::Key_Enter: view_->OnChannelMenuCommand(ChanMenuItem::kEditChannel); return true;
      case Qt::Key_Delete: view_->OnChannelMenuCommand(ChanMenuItem::kDeleteChannel); return true;
      default: return false;
    }
  });
  ConnectChannelKeys();
  channels_->SetOwner(
      [this] {
        view_->OnListBeginDrag(ListId::kChannels);
        channelModel_->CutChanged();
      },
      [this](int position) { view_->OnListDrop(ListId::kChannels, position); });
  connect(Button(ControlId::kFavoriteButton), &QAbstractButton::clicked, this, [this] { view_->OnFavoriteButton(); });
  connect(tps_, &QWidget::customContextMenuRequested, this, &CVortanForm::ShowTpMenu);
  ConnectTpAndSatelliteCommands();
}

void CVortanForm::RunChannelCommand(ChanMenuItem item) {
  view_->OnChannelMenuCommand(item);
  // A cut changes no row but how the cut ones are drawn.
  channelModel_->CutChanged();
  channels_->viewport()->update();
}

void CVortanForm::ConnectChannelKeys() {
  // The popup's commands on their usual keys, while the channel list has the
  // focus; each acts only when the popup would offer it.
  struct Key {
    QKeySequence keys;
    ChanMenuItem item;
    const char* name;
  };
  for (const Key& k : {Key{QKeySequence(Qt::CTRL | Qt::Key_X), ChanMenuItem::kCutChannel, "channelCutKey"},
                       Key{QKeySequence(Qt::CTRL | Qt::Key_V), ChanMenuItem::kPasteChannel, "channelPasteKey"},
                       Key{QKeySequence(Qt::Key_F2), ChanMenuItem::kEditChannel, "channelEditKey"}}) {
    auto* a = new QAction(channels_);
    a->setObjectName(k.name);
    a->setShortcut(k.keys);
    a->setShortcutContext(Qt::WidgetShortcut);
    const ChanMenuItem item = k.item;
    connect(a, &QAction::triggered, this, [this, item] {
      const ContextMenu state = view_->ChannelContextMenu();
      if (state.shown && size_t(item) < state.enabled.size() && state.enabled[size_t(item)]) RunChannelCommand(item);
    });
    channels_->addAction(a);
  }
  // Shift+F10 opens the popup as the Menu key does, at the current row.
  auto* menuKey = new QAction(channels_);
  menuKey->setObjectName("channelMenuKey");
  menuKey->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
  menuKey->setShortcutContext(Qt::WidgetShortcut);
  connect(menuKey, &QAction::triggered, this, [this] {
    const QModelIndex current = channels_->currentIndex();
    const QRect cell = current.isValid() ? channels_->visualRect(current) : QRect();
    ShowChannelMenu(cell.isValid() ? cell.center() : QPoint(8, 8));
  });
  channels_->addAction(menuKey);
}

void CVortanForm::InitialUpdate() { view_->OnInitialUpdate(); }

QWidget* CVortanForm::Control(ControlId id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

QAbstractButton* CVortanForm::Button(ControlId id) const { return qobject_cast<QAbstractButton*>(Control(id)); }

QComboBox* CVortanForm::Combo(ComboId id) const {
  auto it = combos_.find(id);
  return it == combos_.end() ? nullptr : it->second;
}

QTableView* CVortanForm::ListOf(ListId list) const { return list == ListId::kChannels ? channels_ : tps_; }

void CVortanForm::SetChannelColumns(const std::vector<ListColumn>& columns) {
  channelModel_->SetColumns(columns);
  ApplyFittedWidths(*channels_, columns);
}

void CVortanForm::ResetChannelList(int rowCount) { channelModel_->Reset(rowCount); }

void CVortanForm::RefreshChannelList() { channelModel_->Refresh(); }

void CVortanForm::FillTpList(const std::vector<ListColumn>& columns,
                             const std::vector<std::vector<std::string>>& rows) {
  tpModel_->Fill(columns, rows);
  ApplyFittedWidths(*tps_, columns);
}

void CVortanForm::SelectRows(ListId list, const std::vector<int>& rows) {
  QTableView* t = ListOf(list);
  QAbstractItemModel* m = t->model();
  QItemSelectionModel* sel = t->selectionModel();
  const int count = m->rowCount();
  const int lastColumn = std::max(0, m->columnCount() - 1);
  // Runs of adjacent rows become one range: selecting 8000 rows stays cheap.
  QItemSelection selection;
  int first = -1;
  int prev = -2;
  auto flush = [&] {
    if (first >= 0) selection.select(m->index(first, 0), m->index(prev, lastColumn));
  };
  for (int r : rows) {
    if (r < 0 || r >= count) continue;
    if (r != prev + 1) {
      flush();
      first = r;
    }
    prev = r;
  }
  flush();
  if (!selection.isEmpty()) {
    // Through the list itself, so that Shift with a key extends the
    // selection from this row, as after a click on it.
    const QModelIndex focus = selection.front().topLeft();
    t->setCurrentIndex(focus);
    t->scrollTo(focus);
  }
  sel->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

std::vector<int> CVortanForm::SelectedRows(ListId list) const {
  std::vector<int> out;
  for (const QItemSelectionRange& range : ListOf(list)->selectionModel()->selection())
    for (int r = range.top(); r <= range.bottom(); ++r) out.push_back(r);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

void CVortanForm::FillCombo(ComboId combo, const std::vector<std::string>& items) {
  QComboBox* c = Combo(combo);
  if (c == nullptr) return;
  QStringList texts;
  texts.reserve(int(items.size()));
  for (const std::string& s : items) texts << Q(s);
  c->clear();
  c->addItems(texts);
  c->setCurrentIndex(-1);
}

void CVortanForm::SelectComboItem(ComboId combo, int index) {
  QComboBox* c = Combo(combo);
  if (c == nullptr) return;
  c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
}

void CVortanForm::SetCheck(ControlId control, bool checked) {
  QAbstractButton* b = Button(control);
  if (b == nullptr) return;
  QButtonGroup* group = b->group();
  // An exclusive group never lets its checked button go by itself.
  if (!checked && group != nullptr && group->exclusive() && b->isChecked()) {
    group->setExclusive(false);
    b->setChecked(false);
    group->setExclusive(true);
    return;
  }
  b->setChecked(checked);
}

void CVortanForm::Enable(ControlId control, bool enabled) {
  if (QWidget* w = Control(control)) w->setEnabled(enabled);
}

void CVortanForm::SetCaption(ControlId control, const std::string& text) {
  QWidget* w = Control(control);
  if (auto* g = qobject_cast<QGroupBox*>(w)) {
    g->setTitle(Q(text));
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(Q(text));
  }
}

void CVortanForm::SetWindowTitle(const std::string& text) {
  const QString title = Q(text);
  window()->setWindowTitle(title);
  emit TitleChanged(title);
}

MessageAnswer CVortanForm::ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) {
  return modal_->ShowMessage(text, icon, buttons);
}

DialogAnswer CVortanForm::RunDialog(DialogModel model) {
  if (auto* const* port = std::get_if<CComPortDlg*>(&model); port != nullptr && *port != nullptr)
    return RunPortDialog(**port);
  return modal_->RunDialog(model);
}

DialogAnswer CVortanForm::RunPortDialog(CComPortDlg& dlg) {
  // The simulated receiver sits on a pseudo-terminal, so it is a device path
  // like the others and needs the editable list.
  const bool offerSim = CSimulatedReceiver::Supported() && dlg.Editable();
  if (offerSim) {
    std::vector<std::string> ports = dlg.Ports();
    ports.emplace_back(CSimulatedReceiver::kPortName);
    dlg.InitPortList(std::move(ports));
  }
  const DialogAnswer answer = modal_->RunDialog(&dlg);
  if (answer != DialogAnswer::kOk || !offerSim) return answer;
  QString chosen = QString::fromStdString(dlg.PortText()).trimmed();
  if (chosen != CSimulatedReceiver::kPortName) return answer;
  QString error;
  const QString path = sim_->Start(&error);
  if (path.isEmpty()) {
    modal_->ShowMessage(error.toStdString(), MessageIcon::kStop, MessageButtons::kOk);
    return DialogAnswer::kCancel;
  }
  dlg.SetPortText(path.toStdString());
  return DialogAnswer::kOk;
}

TransferUi* CVortanForm::TransferDialog() {
  if (transfer_ == nullptr) transfer_ = new CTransferDialog(this);
  return transfer_;
}

void CVortanForm::LinkChanged() {
  if (!view_->Connected()) sim_->Stop();
}

std::optional<std::string> CVortanForm::AskOpenFile(const FileRequest& request) { return modal_->AskOpenFile(request); }

std::optional<std::string> CVortanForm::AskSaveFile(const FileRequest& request) { return modal_->AskSaveFile(request); }

SaveChangesAnswer CVortanForm::AskSaveChanges() { return modal_->AskSaveChanges(); }

std::unique_ptr<QMenu> CVortanForm::BuildChannelMenu() {
  const ContextMenu state = view_->ChannelContextMenu();
  if (!state.shown) return nullptr;
  auto menu = std::make_unique<QMenu>(this);
  menu->setObjectName("chanMenu");
  QMenu* favorites = nullptr;
  bool anyFavorite = false;
  const uint32_t favoritesOfAll = FavoritesOfSelection();
  for (int i = 0; i < kChanMenuItems; ++i) {
    const auto item = static_cast<ChanMenuItem>(i);
    const bool favorite = i >= int(ChanMenuItem::kFav1) && i <= int(ChanMenuItem::kFav8);
    QString text = Q(ChanMenuText(item));
    QMenu* into = menu.get();
    if (favorite) {
      // A name is shown as written: "&" would otherwise mark a mnemonic.
      text = Q(state.favoriteTexts[size_t(i - int(ChanMenuItem::kFav1))]).replace('&', "&&");
      if (favorites == nullptr) {
        favorites = menu->addMenu("&Favorite...");
        favorites->setObjectName("favoriteMenu");
      }
      into = favorites;
    }
    QAction* a = into->addAction(text);
    a->setData(i);
    const bool enabled = size_t(i) < state.enabled.size() && state.enabled[size_t(i)];
    a->setEnabled(enabled);
    if (favorite) {
      anyFavorite = anyFavorite || enabled;
      // Checked: every selected channel is in this list already.
      a->setCheckable(true);
      a->setChecked(enabled && ((favoritesOfAll >> (i - int(ChanMenuItem::kFav1))) & 1u));
    }
    connect(a, &QAction::triggered, this, [this, item] { RunChannelCommand(item); });
    if (item == ChanMenuItem::kDeleteChannel || item == ChanMenuItem::kFav8 || item == ChanMenuItem::kUnlock ||
        item == ChanMenuItem::kReassignChannelNo || item == ChanMenuItem::kPasteChannel ||
        item == ChanMenuItem::kSortByProvider)
      menu->addSeparator();
  }
  if (favorites != nullptr) favorites->setEnabled(anyFavorite);
  // Beyond the receiver's own popup: one row up or down among the shown ones.
  menu->addSeparator();
  QAction* up = menu->addAction("Move &Up\tCtrl+Up");
  up->setObjectName("chanMenuMoveUp");
  up->setEnabled(view_->IsCommandEnabled(kIdMoveUp));
  connect(up, &QAction::triggered, this, [this] { view_->OnMoveUp(); });
  QAction* down = menu->addAction("Move &Down\tCtrl+Down");
  down->setObjectName("chanMenuMoveDown");
  down->setEnabled(view_->IsCommandEnabled(kIdMoveDown));
  connect(down, &QAction::triggered, this, [this] { view_->OnMoveDown(); });
  return menu;
}

uint32_t CVortanForm::FavoritesOfSelection() const {
  const std::vector<int> rows = SelectedRows(ListId::kChannels);
  if (rows.empty()) return 0;
  uint32_t all = 0xFFu;
  const DbImage& image = view_->Image();
  for (int r : rows) {
    const uint16_t c = view_->ChannelOfRow(r);
    if (c >= kMaxChans) return 0;
    all &= image.ChanWordField(c, chw::kFavMask);
  }
  return all;
}

void CVortanForm::FocusFind() {
  find_->setFocus(Qt::ShortcutFocusReason);
  find_->selectAll();
}

void CVortanForm::ShowChannelMenu(const QPoint& pos) {
  if (std::unique_ptr<QMenu> menu = BuildChannelMenu()) menu->exec(channels_->viewport()->mapToGlobal(pos));
}

void CVortanForm::ShowTpMenu(const QPoint& pos) {
  const ContextMenu state = view_->TpContextMenu();
  if (!state.shown) return;
  QMenu menu(this);
  menu.setObjectName("tpMenu");
  for (int i = 0; i < kTpMenuItems; ++i) {
    QAction* a = menu.addAction(Q(TpMenuText(static_cast<TpMenuItem>(i))));
    a->setData(i);
    a->setEnabled(size_t(i) < state.enabled.size() && state.enabled[size_t(i)]);
    if (static_cast<TpMenuItem>(i) == TpMenuItem::kDeleteTp) menu.addSeparator();
  }
  // The command runs once the menu has closed, so its dialogs stand alone.
  if (QAction* chosen = menu.exec(tps_->viewport()->mapToGlobal(pos)))
    view_->OnTpMenuCommand(static_cast<TpMenuItem>(chosen->data().toInt()));
}

void CVortanForm::ConnectTpAndSatelliteCommands() {
  // The TP list's own keys and double-click; the view decides by delivery
  // type (nothing for DVB-T).
  tps_->installEventFilter(new KeyCommands(tps_, [this](int key) {
    if (key == Qt::Key_Insert)
      view_->OnTpMenuCommand(TpMenuItem::kAddTp);
    else if (key == Qt::Key_Delete)
      view_->OnTpMenuCommand(TpMenuItem::kDeleteTp);
    else
      return false;
    return true;
  }));
  connect(tps_, &QAbstractItemView::doubleClicked, this, [this] { view_->OnTpMenuCommand(TpMenuItem::kEditTp); });
  connect(Button(ControlId::kSatAdd), &QAbstractButton::clicked, this, [this] { view_->OnSatAdd(); });
  connect(Button(ControlId::kSatDelete), &QAbstractButton::clicked, this, [this] { view_->OnSatDelete(); });
  connect(Button(ControlId::kSatEdit), &QAbstractButton::clicked, this, [this] { view_->OnSatEdit(); });
}

}  // namespace pelagor
