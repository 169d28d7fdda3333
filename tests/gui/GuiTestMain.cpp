// The GUI tests run the real widgets on Qt's offscreen platform with a
// private profile, so they need no display and leave no settings behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "app/CVortanApp.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QTemporaryDir home;
#ifdef PELAGOR_TEST_SCREEN_WIDTH
  // One offscreen screen of the size the test is about.
  QFile config(home.filePath("screen.json"));
  if (!config.open(QIODevice::WriteOnly)) return 1;
  config.write(QString("{\"screens\": [{\"name\": \"test\", \"x\": 0, \"y\": 0, \"width\": %1, \"height\": %2, "
                       "\"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}")
                   .arg(PELAGOR_TEST_SCREEN_WIDTH)
                   .arg(PELAGOR_TEST_SCREEN_HEIGHT)
                   .toUtf8());
  config.close();
  qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config.fileName()).toUtf8());
#else
  qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
  qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
  qputenv("XDG_DATA_HOME", home.path().toUtf8());  // recovery copies
  qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
  QApplication app(argc, argv);
  // The editor writes its side file into the current directory.
  QDir::setCurrent(home.path());
  pelagor::CVortanApp::InitApplication();
  return RUN_ALL_TESTS();
}
