#pragma once
// The main window: menu, toolbar, status bar with the lock-key indicators,
// and the editor form as its central widget.

#include <QMainWindow>
#include <QStringList>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QToolBar;

namespace pelagor {

class CRecoveryKeeper;
class CVortanForm;
class CVortanView;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr const char* kIdleMessage = "For Help, press F1";

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

 public slots:
  void OnAppAbout();

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
