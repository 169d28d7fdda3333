#pragma once
// The main window: menu, toolbar, status bar with the lock-key indicators,
// and the editor form as its central widget.

#include <QMainWindow>
#include <utility>
#include <vector>

class QAction;
class QLabel;
class QToolBar;

namespace pelagor {

class CVortanForm;

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
  // Link and transfer commands by id (kIdLinkConnect, kIdDownloadFile, ...).
  QAction* CommandAction(int id) const;
  QToolBar* MainToolBar() const { return toolBar_; }
  CVortanForm* Form() const { return form_; }

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
  void UpdateCommandStates();
  // Leaving with unsaved changes asks first; false keeps the window open.
  bool ConfirmLeave();

  QAction* new_ = nullptr;
  QAction* open_ = nullptr;
  QAction* save_ = nullptr;
  QAction* saveAs_ = nullptr;
  QAction* exit_ = nullptr;
  QAction* about_ = nullptr;
  std::vector<std::pair<int, QAction*>> linkActions_;
  QToolBar* toolBar_ = nullptr;
  CVortanForm* form_ = nullptr;
  QLabel* capIndicator_ = nullptr;
  QLabel* numIndicator_ = nullptr;
  QLabel* scrlIndicator_ = nullptr;
};

}  // namespace pelagor
