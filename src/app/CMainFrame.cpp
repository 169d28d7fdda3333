#include "app/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QWindow>
#include <QToolBar>

#include "app/AppIcon.h"
#include "app/CAboutDlg.h"
#include "app/CVortanForm.h"
#include "view/CVortanView.h"
#include "view/CommandIds.h"
#include "view/WindowTitle.h"

namespace pelagor {
namespace {

QAction* MakeAction(QObject* owner, const QString& text, const QString& statusTip,
                    const QString& toolTip, const char* name) {
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
    arrow << QPointF(8, 4.5) << QPointF(15.5, 11) << QPointF(12, 11) << QPointF(12, 15) << QPointF(4, 15) << QPointF(4, 11)
          << QPointF(0.5, 11);
  p.translate(4, 3);
  p.scale(0.78, 0.78);
  p.setPen(QPen(Qt::white, 1.5));
  p.setBrush(colour);
  p.drawPolygon(arrow);
  return QIcon(pm);
}

QIcon LinkIcon(const QStyle* style, int id) {
  switch (id) {
    case kIdLinkConnect:
      return QIcon::fromTheme("network-connect", style->standardIcon(QStyle::SP_DriveNetIcon));
    case kIdLinkDisconnect:
      return QIcon::fromTheme("network-disconnect", style->standardIcon(QStyle::SP_BrowserStop));
    case kIdReceiverInfo:
      return style->standardIcon(QStyle::SP_FileDialogInfoView);
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
  CreateActions();
  CreateLinkActions();
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();
  RestoreGeometry();
  qApp->installEventFilter(this);
  form_->InitialUpdate();
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
  qApp->removeEventFilter(this);
}

void CMainFrame::CreateActions() {
  new_ = MakeAction(this, "&New", "Create a new document", "New", "actionNew");
  new_->setShortcut(QKeySequence::New);
  open_ = MakeAction(this, "&Open...", "Open an existing document", "Open", "actionOpen");
  open_->setShortcut(QKeySequence::Open);
  open_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  save_ = MakeAction(this, "&Save", "Save the active document", "Save", "actionSave");
  save_->setShortcut(QKeySequence::Save);
  save_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  saveAs_ = MakeAction(this, "Save &As...", "Save the active document with a new name", "Save As",
                       "actionSaveAs");
  saveAs_->setIcon(style()->standardIcon(QStyle::SP_DriveFDIcon));
  connect(new_, &QAction::triggered, this, [this] { form_->View().OnFileNew(); UpdateCommandStates(); });
  connect(open_, &QAction::triggered, this, [this] { form_->View().OnFileOpen(); UpdateCommandStates(); });
  connect(save_, &QAction::triggered, this, [this] { form_->View().OnFileSave(); UpdateCommandStates(); });
  connect(saveAs_, &QAction::triggered, this, [this] { form_->View().OnFileSaveAs(); UpdateCommandStates(); });
  exit_ = MakeAction(this, "E&xit", "Quit the application; prompts to save documents", "Exit",
                     "actionExit");
  connect(exit_, &QAction::triggered, this, &QWidget::close);
  about_ = MakeAction(this, "&About Pelagor...", "Display program information, version number and copyright",
                      "About", "actionAbout");
  about_->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
  connect(about_, &QAction::triggered, this, &CMainFrame::OnAppAbout);
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
  file->addAction(exit_);
  connect(file, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
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
  menuBar()->insertMenu(menuBar()->actions().at(1), view);
}

void CMainFrame::RestoreGeometry() {
  resize(1200, 760);
  QSettings profile;
  const QByteArray geometry = profile.value("Settings/Geometry").toByteArray();
  if (!geometry.isEmpty()) restoreGeometry(geometry);
}

bool CMainFrame::CapsLockShown() const { return capIndicator_->isEnabled(); }
bool CMainFrame::NumLockShown() const { return numIndicator_->isEnabled(); }
bool CMainFrame::ScrollLockShown() const { return scrlIndicator_->isEnabled(); }

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  // Qt offers no portable way to read the lock states, so the indicators
  // follow the lock keys pressed while the program has the focus.
  // The window handle sees each key once, before it goes to the widgets.
  if (event->type() == QEvent::KeyPress && watched == windowHandle()) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!key->isAutoRepeat()) {
      QLabel* indicator = nullptr;
      switch (key->key()) {
        case Qt::Key_CapsLock: indicator = capIndicator_; break;
        case Qt::Key_NumLock: indicator = numIndicator_; break;
        case Qt::Key_ScrollLock: indicator = scrlIndicator_; break;
        default: break;
      }
      if (indicator != nullptr) indicator->setEnabled(!indicator->isEnabled());
    }
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
}

bool CMainFrame::ConfirmLeave() {
  CVortanView& view = form_->View();
  if (!view.Modified()) return true;
  switch (form_->ModalHost().AskSaveChanges()) {
    case SaveChangesAnswer::kDiscard: return true;
    case SaveChangesAnswer::kCancel: return false;
    case SaveChangesAnswer::kSave: break;
  }
  // Save falls back to Save As when there is no file; a cancelled or failed
  // write leaves the changes unsaved, so the window stays.
  view.OnFileSave();
  return !view.Modified();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (!ConfirmLeave()) {
    event->ignore();
    return;
  }
  QSettings profile;
  profile.setValue("Settings/Geometry", saveGeometry());
  event->accept();
}

void CMainFrame::OnAppAbout() {
  CAboutDlg dlg(this);
  dlg.exec();
}

}  // namespace pelagor
