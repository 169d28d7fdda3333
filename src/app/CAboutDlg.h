#pragma once
// The About box: icon, the program lines, OK, and the supported models.

#include <QDialog>

namespace pelagor {

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace pelagor
