// The main window on a 1024x768 screen (the offscreen platform set to that
// size): the first start fits the screen's free area and every filter and
// the channel list lie inside the window.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/CDragDropListCtrl.h"
#include "app/CMainFrame.h"
#include "app/CVortanApp.h"
#include "app/CVortanForm.h"
#include "gui/GuiFixture.h"
#include "gui/ScriptedHost.h"
#include "view/CVortanView.h"

namespace pelagor::guitest {
namespace {

TEST(ScreenFit, FirstStartFitsA1024x768Screen) {
  ASSERT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(1024, 768));
  QSettings().clear();  // a first start: no window geometry in the profile
  QTemporaryDir dir;
  const std::string fixture = dir.filePath("fixture.bin").toStdString();
  ASSERT_TRUE(WriteFixture(fixture, 1));
  Shared host;
  CVortanApp app;
  app.SetModalHostFactory([&host] { return std::make_unique<ScriptedHost>(host); });
  ASSERT_TRUE(app.Start({"pelagor", QString::fromStdString(fixture)}));
  QCoreApplication::processEvents();
  CMainFrame& f = *app.MainFrame();
  const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(free.contains(f.frameGeometry())) << f.frameGeometry().width() << "x" << f.frameGeometry().height();
  // Room left for a window manager's title bar and borders as well.
  EXPECT_LE(f.width() + CMainFrame::kFrameAllowance.width(), free.width());
  EXPECT_LE(f.height() + CMainFrame::kFrameAllowance.height(), free.height());
  EXPECT_LE(f.minimumSizeHint().width(), 1000);
  CVortanForm& form = *f.Form();
  std::vector<QWidget*> controls{form.ChannelTable(), form.FindField(), static_cast<QWidget*>(form.TpTable())};
  for (ComboId id : {ComboId::kSatellite, ComboId::kFavorite, ComboId::kCas, ComboId::kSatFilter, ComboId::kTpFilter})
    controls.push_back(form.Combo(id));
  for (QWidget* w : controls) {
    const QRect r(w->mapTo(&f, QPoint(0, 0)), w->size());
    EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_TRUE(f.rect().contains(r)) << w->objectName().toStdString();
  }
  // Every column can be scrolled into view.
  QHeaderView* header = form.ChannelTable()->horizontalHeader();
  form.ChannelTable()->scrollTo(form.ChannelTable()->model()->index(0, kColProvider));
  QCoreApplication::processEvents();
  const int x = header->sectionViewportPosition(kColProvider);
  EXPECT_GE(x, 0);
  EXPECT_LE(x + header->sectionSize(kColProvider), form.ChannelTable()->viewport()->width() + 1);
}

}  // namespace
}  // namespace pelagor::guitest
