#pragma once
// The main window: menu, toolbar, status bar with the lock-key indicators,
// and the editor form as its central widget.

#include <QMainWindow>
#include <QSize>
#include <QStringList>
#include <utility>

#include "app/LockKeys.h"
#include <vector>

class QAction;
class QLabel;
class QToolBar;

namespace pelagor {

class CRecoveryKeeper;
class CHelpWindow;
class CVortanForm;
class CVortanView;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr const char* kIdleMessage = "For Help, press F1";
  // Room a window manager's title bar and borders take around the window.
  static constexpr QSize kFrameAllowance{16, 48};
  // How often the lock indicators look at the keyboard.
  static constexpr int kLockPollMs = 500;

  explicit CMainFrame(QWidget* parent = nullptr);
  ~CMainFrame() override;

  QAction* NewAction() const { return new_; }
  QAction* OpenAction() const { return open_; }
  QAction* SaveAction() const { return save_; }
  QAction* SaveAsAction() const { return saveAs_; }
  QAction* ExitAction() const { return exit_; }
  QAction* AboutAction() const { return about_; }
  QAction* UndoAction() const { return undo_; }
  QAction* RedoAction() const { return redo_; }
  QAction* FindAction() const { return find_; }
  QAction* MoveUpAction() const { return moveUp_; }
  QAction* MoveDownAction() const { return moveDown_; }
  QAction* ExportAction() const { return export_; }
  QAction* PrintAction() const { return print_; }
  QAction* PrintPreviewAction() const { return printPreview_; }
  QAction* ExportPdfAction() const { return exportPdf_; }
  QAction* UserGuideAction() const { return userGuide_; }
  // The user guide's window once F1 or Help > "User Guide" has opened it.
  CHelpWindow* HelpWindow() const { return helpWindow_; }
  // The File menu's recent-file items, newest first; hidden ones are unused.
  const std::vector<QAction*>& RecentActions() const { return recentActions_; }

  // The last four workspaces opened or saved, newest first, as the profile
  // keeps them.
  static QStringList RecentFiles();
  // A workspace was opened or saved: it goes to the top of the list.
  void NoteRecentFile(const QString& path);
  // Opens a file of the list; one that has vanished leaves the list.
  void OpenRecentFile(const QString& path);
  // Link and transfer commands by id (kIdLinkConnect, kIdDownloadFile, ...).
  QAction* CommandAction(int id) const;
  QToolBar* MainToolBar() const { return toolBar_; }
  CVortanForm* Form() const { return form_; }
  // The recovery copy of unsaved work.
  CRecoveryKeeper* Recovery() const { return recovery_; }

  // Lock-key indicator states as the status bar shows them.
  bool CapsLockShown() const;
  bool NumLockShown() const;
  bool ScrollLockShown() const;
  // Where the indicators read the lock states (tests replace the platform's
  // reader); where it tells nothing they are hidden.
  void SetLockKeyReader(LockKeyReader reader);
  void UpdateLockIndicators();

 public slots:
  void OnAppAbout();
  void OnHelpUserGuide();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateActions();
  void CreateLinkActions();
  void RunLinkCommand(int id);
  void CreateMenus();
  void CreateToolBar();
  void CreateStatusBar();
  void RestoreGeometry();
  void CreateEditActions();
  void CreatePrintAndHelpActions();
  void RunFileCommand(void (CVortanView::*command)(), bool save);
  void SetRecentFiles(const QStringList& files);
  void UpdateRecentMenu();
  void UpdateCommandStates();
  // Leaving with unsaved changes asks first; false keeps the window open.
  bool ConfirmLeave();

  QAction* new_ = nullptr;
  QAction* open_ = nullptr;
  QAction* save_ = nullptr;
  QAction* saveAs_ = nullptr;
  QAction* exit_ = nullptr;
  QAction* about_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* find_ = nullptr;
  QAction* moveUp_ = nullptr;
  QAction* moveDown_ = nullptr;
  QAction* export_ = nullptr;
  QAction* applyOrder_ = nullptr;
  QAction* importChannels_ = nullptr;
  QAction* print_ = nullptr;
  QAction* printPreview_ = nullptr;
  QAction* exportPdf_ = nullptr;
  QAction* userGuide_ = nullptr;
  CHelpWindow* helpWindow_ = nullptr;
  LockKeyReader lockReader_;
  std::vector<QAction*> recentActions_;
  QAction* recentSeparator_ = nullptr;
  std::vector<std::pair<int, QAction*>> linkActions_;
  QToolBar* toolBar_ = nullptr;
  CVortanForm* form_ = nullptr;
  CRecoveryKeeper* recovery_ = nullptr;
  QLabel* capIndicator_ = nullptr;
  QLabel* numIndicator_ = nullptr;
  QLabel* scrlIndicator_ = nullptr;
};

}  // namespace pelagor
