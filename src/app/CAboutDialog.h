#pragma once
// The About box: icon, the program lines, OK, and the supported models.

#include <QDialog>

namespace pelagor {

class CAboutDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDialog(QWidget* parent = nullptr);
};

}  // namespace pelagor
