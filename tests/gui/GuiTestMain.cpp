// The GUI tests run the real widgets on Qt's offscreen platform with a
// private profile, so they need no display and leave no settings behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/CVortanApp.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QTemporaryDir home;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
  qputenv("XDG_DATA_HOME", home.path().toUtf8());  // recovery copies
  qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
  QApplication app(argc, argv);
  // The editor writes its side file into the current directory.
  QDir::setCurrent(home.path());
  pelagor::CVortanApp::InitApplication();
  return RUN_ALL_TESTS();
}
