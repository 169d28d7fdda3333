#pragma once
// The user guide in a window of its own beside the editor. The guide's pages
// and pictures are built into the program, so it needs no files at run time.

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace pelagor {

class CHelpWindow : public QWidget {
  Q_OBJECT
 public:
  explicit CHelpWindow(QWidget* parent = nullptr);

  // The guide's first page.
  static QUrl GuideUrl();
  QTextBrowser* Browser() const { return browser_; }
  // Shows the guide from its first page and brings the window to the front.
  void ShowGuide();

 private:
  QTextBrowser* browser_ = nullptr;
};

}  // namespace pelagor
