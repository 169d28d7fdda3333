#pragma once
// Start-up: the profile, the command line, the main window, and the
// screenshot mode used for the README and by checks.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace pelagor {

class CMainFrame;
class CModalHost;

class CVortanApp {
 public:
  struct Options {
    QString file;               // opened at start, as Open would
    QString screenshot;         // render the window to this PNG and leave
    QString receiverWorkspace;  // channel data of the simulated receiver
    QString error;              // non-empty: the command line was not understood
  };

  CVortanApp();
  ~CVortanApp();

  // Names the profile (QSettings) and the application; call once after the
  // QApplication exists.
  static void InitApplication();
  static Options ParseArguments(const QStringList& arguments);

  // Creates and shows the main window and opens the file; false when the
  // command line was not understood.
  bool Start(const QStringList& arguments);
  // Start, then the event loop (or the screenshot); the process exit code.
  int Run(const QStringList& arguments);

  CMainFrame* MainFrame() const { return frame_.get(); }

  // Makes the host of the message boxes, dialogs and file choosers before
  // the command-line file is opened (tests answer them through it).
  using ModalHostFactory = std::function<std::unique_ptr<CModalHost>()>;
  void SetModalHostFactory(ModalHostFactory factory) { hostFactory_ = std::move(factory); }

 private:
  void ApplyTestEdits();

  std::unique_ptr<CMainFrame> frame_;
  Options options_;
  ModalHostFactory hostFactory_;
};

}  // namespace pelagor
