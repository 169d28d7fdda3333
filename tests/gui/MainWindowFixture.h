// The fixture most GUI tests share: the real main window started in this process
// over a scratch folder, with modal questions answered by the scripted host.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/CMainFrame.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "gui/GuiFixture.h"
#include "gui/ScriptedHost.h"
#include "view/CVortanView.h"

namespace pelagor::guitest {

// The texts of a menu's visible entries, separators left out.
inline QStringList MenuTexts(const QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions())
    if (!a->isSeparator() && a->isVisible()) out << a->text();
  return out;
}

class MainWindowFixture : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  std::string Path(const char* name) const { return dir_.filePath(name).toStdString(); }

  // Starts the application as `pelagor ARGS...` with the scripted host.
  CMainFrame& Start(QStringList args = {}) {
    args.prepend("pelagor");
    app_ = std::make_unique<CVortanApp>();
    app_->SetModalHostFactory([this] { return std::make_unique<ScriptedHost>(host_); });
    EXPECT_TRUE(app_->Start(args));
    return *app_->MainFrame();
  }
  CMainFrame& Frame() { return *app_->MainFrame(); }
  CVortanForm& Form() { return *Frame().Form(); }
  CVortanView& View() { return Form().View(); }
  QString Title() { return Frame().windowTitle(); }
  // The channel names the view lists, row by row.
  QStringList Names() {
    QStringList out;
    for (int r = 0; r < View().RowCount(); ++r) out << QString::fromStdString(View().ChannelCell(r, kColName));
    return out;
  }

  QTemporaryDir dir_;
  Shared host_;
  std::unique_ptr<CVortanApp> app_;
};

// The same with the fixture workspace written to fixture_ and, where settings
// matter, the settings of earlier tests cleared.
class FixtureWindowFixture : public MainWindowFixture {
 protected:
  explicit FixtureWindowFixture(bool clearSettings = true) : clearSettings_(clearSettings) {}
  void SetUp() override {
    MainWindowFixture::SetUp();
    if (HasFatalFailure()) return;
    if (clearSettings_) QSettings().clear();
    fixture_ = Path("fixture.bin");
    ASSERT_TRUE(WriteFixture(fixture_, 1));
  }

  std::string fixture_;

 private:
  bool clearSettings_;
};

}  // namespace pelagor::guitest
