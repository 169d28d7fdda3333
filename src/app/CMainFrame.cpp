#include "app/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QTimer>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <QToolBar>

#include "app/AppIcon.h"
#include "app/CAboutDialog.h"
#include "app/CDragDropListCtrl.h"
#include "app/CRecoveryKeeper.h"
#include "app/CHelpWindow.h"
#include "app/ChannelListPrint.h"
#include "app/CVortanForm.h"
#include "view/CVortanView.h"
#include "view/CommandIds.h"
#include "view/WindowTitle.h"

namespace pelagor {
namespace {

QAction* MakeAction(QObject* owner, const QString& text, const QString& statusTip, const QString& toolTip,
                    const char* name) {
  auto* a = new QAction(text, owner);
  a->setObjectName(name);
  a->setStatusTip(statusTip);
  a->setToolTip(toolTip);
  return a;
}

// The link and transfer commands: menu text, status-bar prompt, tooltip.
struct LinkCommand {
  int id;
  const char* text;
  const char* prompt;
  const char* tip;
  const char* name;
};

constexpr LinkCommand kLinkCommands[] = {
    {kIdLinkConnect, "&Connect...", "Setup Serial Connection", "Connect...", "actionConnect"},
    {kIdLinkDisconnect, "&Disconnect", "Close Serial Connection", "Disconnect", "actionDisconnect"},
    {kIdReceiverInfo, "Receiver &Information...", "", "Receiver Information", "actionReceiverInfo"},
    {kIdDownloadFile, "Download &File...", "Download s/w or data from file to STB", "Download file",
     "actionDownloadFile"},
    {kIdUploadFile, "&Upload File", "Upload data from STB to file", "Upload file", "actionUploadFile"},
    {kIdDownloadWorkspace, "Download &Workspace", "Download channel data of current workspace to STB",
     "Download Workspace", "actionDownloadWorkspace"},
    {kIdUploadToWorkspace, "Upload to Wor&kspace", "Upload STB channel data to current workspace",
     "Upload to Workspace", "actionUploadToWorkspace"},
};

// A document or a channel list with an arrow: down to the receiver, up to the PC.
QIcon TransferIcon(const QStyle* style, QStyle::StandardPixmap base, bool down) {
  QPixmap pm = style->standardIcon(base).pixmap(16, 16);
  if (pm.isNull()) {
    pm = QPixmap(16, 16);
    pm.fill(Qt::transparent);
  }
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor colour = down ? QColor(0x1f, 0x7a, 0x1f) : QColor(0x1f, 0x4f, 0xa8);
  QPolygonF arrow;
  if (down)
    arrow << QPointF(8, 15.5) << QPointF(15.5, 9) << QPointF(12, 9) << QPointF(12, 5) << QPointF(4, 5) << QPointF(4, 9)
          << QPointF(0.5, 9);
  else
    arrow << QPointF(8, 4.5) << QPointF(15.5, 11) << QPointF(12, 11) << QPointF(12, 15) << QPointF(4, 15)
          << QPointF(4, 11) << QPointF(0.5, 11);
  p.translate(4, 3);
  p.scale(0.78, 0.78);
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(colour);
  p.drawPolygon(arrow);
  return QIcon(pm);
}

QIcon LinkIcon(const QStyle* style, int id) {
  switch (id) {
    case kIdLinkConnect: return QIcon::fromTheme("network-connect", style->standardIcon(QStyle::SP_DriveNetIcon));
    case kIdLinkDisconnect: return QIcon::fromTheme("network-disconnect", style->standardIcon(QStyle::SP_BrowserStop));
    case kIdReceiverInfo: return style->standardIcon(QStyle::SP_FileDialogInfoView);
    case kIdDownloadFile: return TransferIcon(style, QStyle::SP_FileIcon, true);
    case kIdUploadFile: return TransferIcon(style, QStyle::SP_FileIcon, false);
    case kIdDownloadWorkspace: return TransferIcon(style, QStyle::SP_FileDialogDetailedView, true);
    case kIdUploadToWorkspace: return TransferIcon(style, QStyle::SP_FileDialogDetailedView, false);
    default: return {};
  }
}

QLabel* MakeIndicator(QWidget* parent, const char* text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString("indicator") + text);
  l->setAlignment(Qt::AlignCenter);
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setMinimumWidth(l->fontMetrics().horizontalAdvance("SCRL") + 12);
  // Greyed out while the lock is off.
  l->setEnabled(false);
  return l;
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  setObjectName("mainFrame");
  setWindowIcon(MakeAppIcon());
  // The editor retitles the window after every load, save and edit.
  setWindowTitle(QString::fromStdString(MakeWindowTitle(TitleState{})));
  form_ = new CVortanForm(this);
  setCentralWidget(form_);
  recovery_ = new CRecoveryKeeper(form_->View(), CRecoveryKeeper::DefaultFolder(), this);
  CreateActions();
  CreateEditActions();
  CreatePrintAndHelpActions();
  CreateLinkActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  RestoreGeometry();
  qApp->installEventFilter(this);
  form_->InitialUpdate();
  // Column widths the user dragged last time; after InitialUpdate, which
  // sets the defaults.
  const QByteArray columns = QSettings().value("Settings/ChannelColumns").toByteArray();
  if (!columns.isEmpty()) form_->ChannelTable()->horizontalHeader()->restoreState(columns);
  // Undo and Redo follow each edit: the title changes with most of them.
  connect(form_, &CVortanForm::TitleChanged, this, &CMainFrame::UpdateCommandStates, Qt::QueuedConnection);
  UpdateRecentMenu();
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() { qApp->removeEventFilter(this); }

void CMainFrame::CreateActions() {
  new_ = MakeAction(this, "&New", "Create a new document", "New", "actionNew");
  new_->setShortcut(QKeySequence::New);
  open_ = MakeAction(this, "&Open...", "Open an existing document", "Open", "actionOpen");
  open_->setShortcut(QKeySequence::Open);
  open_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  save_ = MakeAction(this, "&Save", "Save the active document", "Save", "actionSave");
  save_->setShortcut(QKeySequence::Save);
  save_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  saveAs_ = MakeAction(this, "Save &As...", "Save the active document with a new name", "Save As", "actionSaveAs");
  saveAs_->setIcon(style()->standardIcon(QStyle::SP_DriveFDIcon));
  connect(new_, &QAction::triggered, this, [this] {
    form_->View().OnFileNew();
    UpdateCommandStates();
  });
  connect(open_, &QAction::triggered, this, [this] { RunFileCommand(&CVortanView::OnFileOpen, false); });
  connect(save_, &QAction::triggered, this, [this] { RunFileCommand(&CVortanView::OnFileSave, true); });
  connect(saveAs_, &QAction::triggered, this, [this] { RunFileCommand(&CVortanView::OnFileSaveAs, true); });
  export_ = MakeAction(this, "&Export Channel List...", "Write the channel list as shown to a CSV file",
                       "Export Channel List", "actionExport");
  connect(export_, &QAction::triggered, this, [this] { form_->View().OnFileExport(); });
  applyOrder_ = MakeAction(this, "Apply &Order from Reference List...",
                           "Take the order, numbers, favourites, locks and names of another channel list",
                           "Apply Order from Reference List", "actionApplyOrder");
  connect(applyOrder_, &QAction::triggered, this, [this] {
    form_->View().OnApplyOrderFromReference();
    UpdateCommandStates();
  });
  importChannels_ = MakeAction(this, "&Import Channels...", "Add channels of another channel list to this one",
                               "Import Channels", "actionImportChannels");
  connect(importChannels_, &QAction::triggered, this, [this] {
    form_->View().OnImportChannels();
    UpdateCommandStates();
  });
  for (int i = 0; i < 4; ++i) {
    QAction* a = new QAction(this);
    a->setObjectName(QString("actionRecentFile%1").arg(i + 1));
    a->setVisible(false);
    connect(a, &QAction::triggered, this, [this, a] { OpenRecentFile(a->data().toString()); });
    recentActions_.push_back(a);
  }
  exit_ = MakeAction(this, "E&xit", "Quit the application; prompts to save documents", "Exit", "actionExit");
  connect(exit_, &QAction::triggered, this, &QWidget::close);
  about_ = MakeAction(this, "&About Pelagor...", "Display program information, version number and copyright", "About",
                      "actionAbout");
  about_->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
  connect(about_, &QAction::triggered, this, &CMainFrame::OnAppAbout);
}

void CMainFrame::CreateEditActions() {
  undo_ = MakeAction(this, "&Undo", "Undo the last change", "Undo", "actionUndo");
  undo_->setShortcut(QKeySequence::Undo);
  undo_->setIcon(QIcon::fromTheme("edit-undo", style()->standardIcon(QStyle::SP_ArrowBack)));
  redo_ = MakeAction(this, "&Redo", "Redo the change undone last", "Redo", "actionRedo");
  redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  redo_->setIcon(QIcon::fromTheme("edit-redo", style()->standardIcon(QStyle::SP_ArrowForward)));
  find_ = MakeAction(this, "&Find...", "Find channels by name", "Find", "actionFind");
  find_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  moveUp_ = MakeAction(this, "Move &Up", "Move the selected channels one row up", "Move Up", "actionMoveUp");
  moveUp_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
  moveDown_ = MakeAction(this, "Move &Down", "Move the selected channels one row down", "Move Down", "actionMoveDown");
  moveDown_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
  auto run = [this](void (CVortanView::*command)()) {
    return [this, command] {
      (form_->View().*command)();
      UpdateCommandStates();
    };
  };
  connect(undo_, &QAction::triggered, this, run(&CVortanView::OnEditUndo));
  connect(redo_, &QAction::triggered, this, run(&CVortanView::OnEditRedo));
  connect(moveUp_, &QAction::triggered, this, run(&CVortanView::OnMoveUp));
  connect(moveDown_, &QAction::triggered, this, run(&CVortanView::OnMoveDown));
  connect(find_, &QAction::triggered, form_, &CVortanForm::FocusFind);
}

void CMainFrame::CreatePrintAndHelpActions() {
  print_ = MakeAction(this, "&Print...", "Print the channel list as shown", "Print", "actionPrint");
  print_->setShortcut(QKeySequence::Print);
  printPreview_ = MakeAction(this, "Print Pre&view...", "Show the printed pages of the channel list", "Print Preview",
                             "actionPrintPreview");
  exportPdf_ = MakeAction(this, "Export P&DF...", "Write the channel list as printed to a PDF file", "Export PDF",
                          "actionExportPdf");
  connect(print_, &QAction::triggered, this, [this] { PrintChannelList(*form_, this); });
  connect(printPreview_, &QAction::triggered, this, [this] { PreviewChannelList(*form_, this); });
  connect(exportPdf_, &QAction::triggered, this, [this] { ExportChannelListPdf(*form_); });
  userGuide_ = MakeAction(this, "&User Guide", "Open the user guide", "User Guide", "actionUserGuide");
  userGuide_->setShortcut(QKeySequence(Qt::Key_F1));
  userGuide_->setShortcutContext(Qt::ApplicationShortcut);
  userGuide_->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
  connect(userGuide_, &QAction::triggered, this, &CMainFrame::OnHelpUserGuide);
  // The status bar reads the lock keys again after every lock key and now
  // and then for changes made while another window had the keyboard.
  lockReader_ = &ReadLockKeys;
  auto* lockPoll = new QTimer(this);
  connect(lockPoll, &QTimer::timeout, this, &CMainFrame::UpdateLockIndicators);
  lockPoll->start(kLockPollMs);
}

void CMainFrame::OnHelpUserGuide() {
  if (helpWindow_ == nullptr) helpWindow_ = new CHelpWindow(this);
  helpWindow_->ShowGuide();
}

void CMainFrame::RunFileCommand(void (CVortanView::*command)(), bool save) {
  CVortanView& view = form_->View();
  const std::string before = view.File().path;
  (view.*command)();
  // A save always puts its file on top; an open only when it took one over.
  if (view.File().fileOpen && (save || view.File().path != before)) {
    NoteRecentFile(QString::fromStdString(view.File().path));
  }
  UpdateCommandStates();
}

QStringList CMainFrame::RecentFiles() {
  QSettings profile;
  QStringList files;
  for (int i = 1; i <= 4; ++i) {
    const QString f = profile.value(QString("Recent File List/File%1").arg(i)).toString();
    if (!f.isEmpty()) files << f;
  }
  return files;
}

void CMainFrame::SetRecentFiles(const QStringList& files) {
  QSettings profile;
  profile.remove("Recent File List");
  for (int i = 0; i < files.size() && i < 4; ++i) {
    profile.setValue(QString("Recent File List/File%1").arg(i + 1), files[i]);
  }
  UpdateRecentMenu();
}

void CMainFrame::NoteRecentFile(const QString& path) {
  const QString full = QFileInfo(path).absoluteFilePath();
  QStringList files = RecentFiles();
  files.removeAll(full);
  files.prepend(full);
  SetRecentFiles(files.mid(0, 4));
}

void CMainFrame::OpenRecentFile(const QString& path) {
  CVortanView& view = form_->View();
  if (!view.SaveModified()) return;
  if (view.OpenFile(path.toStdString())) {
    NoteRecentFile(path);
  } else if (!QFileInfo::exists(path)) {
    // The open has said "File Open Error !!!"; the file is gone for good.
    QStringList files = RecentFiles();
    files.removeAll(path);
    SetRecentFiles(files);
  }
  UpdateCommandStates();
}

void CMainFrame::UpdateRecentMenu() {
  const QStringList files = RecentFiles();
  for (int i = 0; i < int(recentActions_.size()); ++i) {
    QAction* a = recentActions_[size_t(i)];
    const bool used = i < files.size();
    a->setVisible(used);
    if (!used) continue;
    a->setData(files[i]);
    a->setText(QString("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[i])));
    a->setStatusTip("Open this document");
  }
  if (recentSeparator_ != nullptr) recentSeparator_->setVisible(!files.isEmpty());
}

void CMainFrame::CreateLinkActions() {
  for (const LinkCommand& c : kLinkCommands) {
    QAction* a = MakeAction(this, c.text, c.prompt, c.tip, c.name);
    a->setIcon(LinkIcon(style(), c.id));
    const int id = c.id;
    connect(a, &QAction::triggered, this, [this, id] { RunLinkCommand(id); });
    linkActions_.emplace_back(id, a);
  }
}

QAction* CMainFrame::CommandAction(int id) const {
  for (const auto& [actionId, action] : linkActions_)
    if (actionId == id) return action;
  return nullptr;
}

void CMainFrame::RunLinkCommand(int id) {
  CVortanView& view = form_->View();
  // A toolbar button's state may be a moment old; the view's rule decides.
  if (!view.IsCommandEnabled(id)) {
    UpdateCommandStates();
    return;
  }
  switch (id) {
    case kIdLinkConnect: view.OnLinkConnect(); break;
    case kIdLinkDisconnect: view.OnLinkDisconnect(); break;
    case kIdReceiverInfo: view.OnReceiverInfo(); break;
    case kIdDownloadFile: view.OnDownloadFile(); break;
    case kIdUploadFile: view.OnUploadFile(); break;
    case kIdDownloadWorkspace: view.OnDownloadWorkspace(); break;
    case kIdUploadToWorkspace: view.OnUploadToWorkspace(); break;
    default: break;
  }
  // A transfer is where work changes most at once: its copy is not delayed.
  if (id == kIdDownloadFile || id == kIdUploadFile || id == kIdDownloadWorkspace || id == kIdUploadToWorkspace) {
    if (view.Modified())
      recovery_->WriteNow();
    else
      recovery_->Discard();
  }
  form_->LinkChanged();
  UpdateCommandStates();
}

void CMainFrame::CreateMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("menuFile");
  file->addAction(new_);
  file->addAction(open_);
  file->addAction(save_);
  file->addAction(saveAs_);
  file->addSeparator();
  file->addAction(export_);
  file->addAction(exportPdf_);
  file->addSeparator();
  file->addAction(applyOrder_);
  file->addAction(importChannels_);
  file->addSeparator();
  file->addAction(print_);
  file->addAction(printPreview_);
  file->addSeparator();
  for (QAction* a : recentActions_) file->addAction(a);
  recentSeparator_ = file->addSeparator();
  file->addAction(exit_);
  connect(file, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->setObjectName("menuEdit");
  edit->addAction(undo_);
  edit->addAction(redo_);
  edit->addSeparator();
  edit->addAction(find_);
  edit->addSeparator();
  edit->addAction(moveUp_);
  edit->addAction(moveDown_);
  connect(edit, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
  QMenu* link = menuBar()->addMenu("&Link");
  link->setObjectName("menuLink");
  for (const auto& [id, action] : linkActions_) {
    if (id == kIdDownloadFile) link->addSeparator();
    link->addAction(action);
  }
  connect(link, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
  // View is filled once the toolbar and status bar exist (their toggle actions).
  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("menuHelp");
  help->addAction(userGuide_);
  help->addSeparator();
  help->addAction(about_);
}

void CMainFrame::CreateToolBar() {
  toolBar_ = addToolBar("Standard");
  toolBar_->setObjectName("mainToolBar");
  toolBar_->setIconSize(QSize(16, 16));
  toolBar_->setMovable(true);
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  toolBar_->addAction(open_);
  toolBar_->addAction(save_);
  toolBar_->addAction(saveAs_);
  toolBar_->addSeparator();
  toolBar_->addAction(undo_);
  toolBar_->addAction(redo_);
  toolBar_->addSeparator();
  for (const auto& [id, action] : linkActions_) {
    if (id == kIdDownloadFile) toolBar_->addSeparator();
    toolBar_->addAction(action);
  }
  toolBar_->addSeparator();
  toolBar_->addAction(about_);
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("mainStatusBar");
  capIndicator_ = MakeIndicator(bar, "CAP");
  numIndicator_ = MakeIndicator(bar, "NUM");
  scrlIndicator_ = MakeIndicator(bar, "SCRL");
  bar->addPermanentWidget(capIndicator_);
  bar->addPermanentWidget(numIndicator_);
  bar->addPermanentWidget(scrlIndicator_);
  UpdateLockIndicators();
  // Status tips clear the message when the pointer leaves; fall back to the idle text.
  connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& text) {
    if (text.isEmpty()) bar->showMessage(kIdleMessage);
  });
  bar->showMessage(kIdleMessage);

  QAction* toolBarToggle = toolBar_->toggleViewAction();
  toolBarToggle->setText("&Toolbar");
  toolBarToggle->setObjectName("actionToolbar");
  toolBarToggle->setStatusTip("Show or hide the toolbar");
  auto* statusToggle = new QAction("&Status Bar", this);
  statusToggle->setObjectName("actionStatusBar");
  statusToggle->setStatusTip("Show or hide the status bar");
  statusToggle->setCheckable(true);
  statusToggle->setChecked(true);
  connect(statusToggle, &QAction::toggled, bar, &QWidget::setVisible);

  QMenu* view = new QMenu("&View", this);
  view->setObjectName("menuView");
  view->addAction(toolBarToggle);
  view->addAction(statusToggle);
  // File, Edit, View, Link, Help.
  menuBar()->insertMenu(menuBar()->findChild<QMenu*>("menuLink")->menuAction(), view);
}

void CMainFrame::RestoreGeometry() {
  // First start: as large as the usual editor window, but never larger than
  // the screen's free area (title bar and frame included); where it goes is
  // the window manager's choice.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect free = screen->availableGeometry();
    const QSize size(std::min(1200, free.width() - kFrameAllowance.width()),
                     std::min(760, free.height() - kFrameAllowance.height()));
    resize(size.expandedTo(minimumSizeHint()));
  } else {
    resize(1200, 760);
  }
  QSettings profile;
  const QByteArray geometry = profile.value("Settings/Geometry").toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
  const QByteArray state = profile.value("Settings/WindowState").toByteArray();
  if (!state.isEmpty()) restoreState(state);
}

bool CMainFrame::CapsLockShown() const { return capIndicator_->isEnabled(); }
bool CMainFrame::NumLockShown() const { return numIndicator_->isEnabled(); }
bool CMainFrame::ScrollLockShown() const { return scrlIndicator_->isEnabled(); }

void CMainFrame::SetLockKeyReader(LockKeyReader reader) {
  lockReader_ = std::move(reader);
  UpdateLockIndicators();
}

void CMainFrame::UpdateLockIndicators() {
  const std::optional<LockKeyStates> states = lockReader_ ? lockReader_() : std::nullopt;
  // Indicators that would guess are worse than none.
  for (QLabel* l : {capIndicator_, numIndicator_, scrlIndicator_}) l->setVisible(states.has_value());
  if (!states) return;
  capIndicator_->setEnabled(states->caps);
  numIndicator_->setEnabled(states->num);
  scrlIndicator_->setEnabled(states->scroll);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  // The window handle sees each key once, before it goes to the widgets.
  // What the user did may have changed the workspace or the selection: the
  // toolbar's Undo and Redo follow once the event is handled.
  if ((event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyRelease) &&
      watched == windowHandle()) {
    QTimer::singleShot(0, this, &CMainFrame::UpdateCommandStates);
  }
  // A lock key has done its work by the time it is released.
  if (event->type() == QEvent::KeyRelease && watched == windowHandle()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
      QTimer::singleShot(0, this, &CMainFrame::UpdateLockIndicators);
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::UpdateCommandStates() {
  const CVortanView& view = form_->View();
  new_->setEnabled(view.IsCommandEnabled(kIdFileNew));
  open_->setEnabled(view.IsCommandEnabled(kIdFileOpen));
  save_->setEnabled(view.IsCommandEnabled(kIdFileSave));
  saveAs_->setEnabled(view.IsCommandEnabled(kIdFileSaveAs));
  for (const auto& [id, action] : linkActions_) action->setEnabled(view.IsCommandEnabled(id));
  undo_->setEnabled(view.IsCommandEnabled(kIdEditUndo));
  redo_->setEnabled(view.IsCommandEnabled(kIdEditRedo));
  export_->setEnabled(view.IsCommandEnabled(kIdFileExport));
  // Printing shows the same list the export writes.
  for (QAction* a : {print_, printPreview_, exportPdf_}) a->setEnabled(view.IsCommandEnabled(kIdFileExport));
  applyOrder_->setEnabled(view.IsCommandEnabled(kIdApplyOrder));
  importChannels_->setEnabled(view.IsCommandEnabled(kIdImportChannels));
  // Called after everything the user does: the recovery copy follows.
  recovery_->Sync();
  // Move Up/Down stay on for their keys; the view ignores a move it cannot make.
}

bool CMainFrame::ConfirmLeave() { return form_->View().SaveModified(); }

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!ConfirmLeave()) {
    event->ignore();
    return;
  }
  QSettings profile;
  profile.setValue("Settings/Geometry", saveGeometry());
  profile.setValue("Settings/WindowState", saveState());
  profile.setValue("Settings/ChannelColumns", form_->ChannelTable()->horizontalHeader()->saveState());
  // Saved or given up: nothing is left to recover.
  recovery_->Discard();
  event->accept();
}

void CMainFrame::OnAppAbout() {
  CAboutDialog dlg(this);
  dlg.exec();
}

}  // namespace pelagor
