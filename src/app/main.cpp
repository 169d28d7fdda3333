#include <QApplication>

#include "app/CVortanApp.h"

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  pelagor::CVortanApp::InitApplication();
  pelagor::CVortanApp app;
  return app.Run(QApplication::arguments());
}
