// The view's link port commands over a kernel pseudo-terminal: the test
// plays the receiver on the other side.

#include <gtest/gtest.h>

#include <thread>

#include "FakeViewUi.h"
#include "link/CComPortDlg.h"
#include "link/CSTBInfoDlg.h"
#include "support/PtyLine.h"

namespace pelagor::test {
namespace {

LinkTiming ShortTiming() {
  LinkTiming t;
  t.infoReplyWaitMs = 200;
  t.readBlockWaitMs = 200;
  t.writeWaitMs = 200;
  return t;
}

std::function<DialogAnswer(DialogModel)> PickPort(const std::string& path) {
  return [path](DialogModel m) {
    CComPortDlg* dlg = std::get<CComPortDlg*>(m);
    dlg->SetPortText(path);
    return DialogAnswer::kOk;
  };
}

TEST(ViewLink, PromptsOfTheLinkCommands) {
  EXPECT_EQ(LinkCommandPrompt(kIdLinkConnect), "Setup Serial Connection\nConnect...");
  EXPECT_EQ(LinkCommandPrompt(kIdLinkDisconnect), "Close Serial Connection\nDisconnect");
  EXPECT_EQ(LinkCommandPrompt(kIdReceiverInfo), "");
  EXPECT_FALSE(LinkCommandEnabled(CLinkPort{}, 12345));
}

TEST(ViewLink, ConnectCancelledChangesNothing) {
  FakeViewUi ui;
  CVortanView view(ui, ShortTiming());
  view.OnLinkConnect();
  EXPECT_EQ(ui.dialogsRun, std::vector<DialogKind>{DialogKind::kPortSelect});
  EXPECT_FALSE(view.Connected());
  EXPECT_TRUE(view.IsCommandEnabled(kIdLinkConnect));
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ViewLink, ConnectFailureShowsThePortMessage) {
  FakeViewUi ui;
  CVortanView view(ui, ShortTiming());
  ui.dialogAnswers.push_back(PickPort("/dev/pelagor-no-such-port"));
  view.OnLinkConnect();
  EXPECT_FALSE(view.Connected());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kStop);
  EXPECT_NE(ui.messages[0].text.find("Can not open"), std::string::npos);
}

TEST(ViewLink, ConnectEnablesLinkCommandsAndReceiverInfoFillsTheDialog) {
  PtyLine pty{PtyLine::kMainEndOnly};
  ASSERT_TRUE(pty.Ok());
  FakeViewUi ui;
  CVortanView view(ui, ShortTiming());
  ui.dialogAnswers.push_back(PickPort(pty.Path()));
  view.OnLinkConnect();
  ASSERT_TRUE(view.Connected());
  EXPECT_FALSE(view.IsCommandEnabled(kIdLinkConnect));
  EXPECT_TRUE(view.IsCommandEnabled(kIdLinkDisconnect));
  EXPECT_TRUE(view.IsCommandEnabled(kIdReceiverInfo));
  EXPECT_TRUE(view.IsCommandEnabled(kIdUploadToWorkspace));
  EXPECT_FALSE(view.IsCommandEnabled(kIdDownloadWorkspace));  // nothing loaded

  // The receiver answers the information frame with its 104-byte block.
  std::thread receiver([&pty] {
    const std::vector<unsigned char> frame = pty.Receive(2000);
    if (frame.size() < 8) return;
    std::vector<unsigned char> block(104, 0);
    const std::string model = "VR39.20HD", boot = "B1.02", main = "M5.00";
    std::copy(model.begin(), model.end(), block.begin() + 8);
    std::copy(boot.begin(), boot.end(), block.begin() + 40);
    std::copy(main.begin(), main.end(), block.begin() + 72);
    pty.Send(block);
  });
  std::string shownModel;
  ui.dialogAnswers.push_back([&shownModel](DialogModel m) {
    shownModel = std::get<CSTBInfoDlg*>(m)->model;
    return DialogAnswer::kOk;
  });
  view.OnReceiverInfo();
  receiver.join();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.dialogsRun.back(), DialogKind::kReceiverInfo);
  EXPECT_EQ(shownModel, "VR39.20HD");

  // No answer: the fixed message, no icon.
  view.OnReceiverInfo();
  ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{"STB not connected or Version not supported !!!"});
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kNone);

  view.OnLinkDisconnect();
  EXPECT_FALSE(view.Connected());
  EXPECT_TRUE(view.IsCommandEnabled(kIdLinkConnect));
  EXPECT_FALSE(view.IsCommandEnabled(kIdDownloadFile));
}

}  // namespace
}  // namespace pelagor::test
