#include "link/CComPortDlg.h"
#include "link/CLinkPort.h"
#include "link/CSTBInfoDlg.h"
#include "support/PtyLine.h"
#include "view/CommandIds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace pelagor {
using pelagor::test::PtyLine;

namespace {

using Names = std::vector<std::string>;

TEST(ComPortDlgCom, ListsComNamesSortedAsTextFirstSelected) {
  CComPortDlg dlg(PortNaming::kComNumber);
  EXPECT_FALSE(dlg.Editable());
  dlg.InitPortList({"COM2", "LPT1", "COM10", "COM", "COM1", "COM4:"});
  EXPECT_EQ(dlg.Ports(), (Names{"COM1", "COM10", "COM2"}));
  EXPECT_EQ(dlg.Selection(), 0);
  EXPECT_EQ(dlg.PortText(), "COM1");
  dlg.Select(1);
  ASSERT_TRUE(dlg.OnOK());
  EXPECT_EQ(dlg.portNumber, 10);
  EXPECT_EQ(dlg.portName, "COM10");
}

TEST(ComPortDlgCom, LowerCaseNameGivesItsNumber) {
  CComPortDlg dlg(PortNaming::kComNumber);
  dlg.InitPortList({"com7"});
  ASSERT_TRUE(dlg.OnOK());
  EXPECT_EQ(dlg.portNumber, 7);
}

TEST(ComPortDlgCom, EmptyListOkKeepsThePresetPortAndTypingIsIgnored) {
  CComPortDlg dlg(PortNaming::kComNumber);
  dlg.portNumber = 5;
  dlg.portName = "COM5";
  dlg.InitPortList({"LPT1", "COM"});
  EXPECT_TRUE(dlg.Ports().empty());
  EXPECT_EQ(dlg.Selection(), -1);
  dlg.SetPortText("COM9");  // drop-down list only
  EXPECT_EQ(dlg.PortText(), "");
  EXPECT_FALSE(dlg.OnOK());
  EXPECT_EQ(dlg.portNumber, 5);
  EXPECT_EQ(dlg.portName, "COM5");
}

TEST(ComPortDlgDevice, PicksOrTypesADevicePath) {
  CComPortDlg dlg(PortNaming::kDevicePath);
  EXPECT_TRUE(dlg.Editable());
  dlg.portNumber = 3;
  dlg.InitPortList({"/dev/ttyUSB0", "/dev/ttyACM0", "/dev/ttyS0"});
  EXPECT_EQ(dlg.Ports(), (Names{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB0"}));
  EXPECT_EQ(dlg.PortText(), "/dev/ttyACM0");

  dlg.SetPortText("/dev/ttyS0");  // typed text matching an item selects it
  EXPECT_EQ(dlg.Selection(), 1);
  dlg.SetPortText("  /dev/serial/by-id/usb-adapter-port0 ");
  EXPECT_EQ(dlg.Selection(), -1);
  ASSERT_TRUE(dlg.OnOK());
  EXPECT_EQ(dlg.portName, "/dev/serial/by-id/usb-adapter-port0");
  EXPECT_EQ(dlg.portNumber, 3);  // numbers are a Windows matter
}

TEST(ComPortDlgDevice, EmptyListAndBlankTextChoosesNothing) {
  CComPortDlg dlg(PortNaming::kDevicePath);
  dlg.portName = "/dev/ttyUSB3";
  dlg.InitPortList({});
  dlg.SetPortText("   ");
  EXPECT_FALSE(dlg.OnOK());
  EXPECT_EQ(dlg.portName, "/dev/ttyUSB3");
}

TEST(PortNumberFromName, LeadingDigitsAfterThreeCharacters) {
  const std::pair<const char*, int> cases[] = {
      {"COM1", 1}, {"COM12", 12}, {"com7", 7},  {"COM", 0},
      {"CO", 0},   {"COM3x", 3},  {"COMx3", 0}, {"COM99999999999", 2147483647},
  };
  for (const auto& [name, number] : cases) EXPECT_EQ(PortNumberFromName(name), number) << name;
}

TEST(StbInfoDlg, StartsEmptyAndTakesTheThreeFields) {
  CSTBInfoDlg dlg;
  EXPECT_TRUE(dlg.model.empty() && dlg.bootVersion.empty() && dlg.mainVersion.empty());
  ReceiverInfoBlock block{};
  std::memset(block.data(), 0x7E, 8);
  std::memset(block.data() + 8, 'M', 32);  // no terminator inside the field
  std::memcpy(block.data() + 40, "B1.0", 4);
  std::memcpy(block.data() + 72, "MAIN 2", 6);
  dlg.SetFromBlock(block);
  EXPECT_EQ(dlg.model, std::string(32, 'M'));
  EXPECT_EQ(dlg.bootVersion, "B1.0");
  EXPECT_EQ(dlg.mainVersion, "MAIN 2");
}

LinkTiming FastTiming() {
  LinkTiming t;
  t.infoReplyWaitMs = 150;
  t.waitDataPollMs = 1;
  return t;
}

// A dialog run that types the given text (or cancels).
std::function<bool(CComPortDlg&)> Typing(std::string text, bool ok = true) {
  return [text, ok](CComPortDlg& dlg) {
    dlg.SetPortText(text);
    return ok;
  };
}

struct Enabling {
  bool connect, disconnect, info;
};

void ExpectEnabling(const CLinkPort& link, Enabling e) {
  EXPECT_EQ(LinkCommandEnabled(link, kIdLinkConnect), e.connect);
  EXPECT_EQ(LinkCommandEnabled(link, kIdLinkDisconnect), e.disconnect);
  EXPECT_EQ(LinkCommandEnabled(link, kIdReceiverInfo), e.info);
}

class LinkPortPty : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pty.Ok()); }
  PtyLine pty{PtyLine::kMainEndOnly};
  CLinkPort link{FastTiming(), PortNaming::kDevicePath};
};

TEST_F(LinkPortPty, ConnectAndDisconnectDriveTheEnabling) {
  ExpectEnabling(link, {true, false, false});
  std::string msg;
  ASSERT_EQ(link.Connect(Typing(pty.Path()), &msg), ConnectResult::kConnected) << msg;
  EXPECT_TRUE(link.Connected());
  EXPECT_TRUE(link.Port().IsOpen());
  EXPECT_EQ(link.PortName(), pty.Path());
  ExpectEnabling(link, {false, true, true});
  // Connect is disabled now; calling it anyway opens nothing twice.
  EXPECT_EQ(link.Connect(Typing("/dev/null"), &msg), ConnectResult::kAlreadyConnected);
  EXPECT_EQ(link.PortName(), pty.Path());

  link.Disconnect();
  EXPECT_FALSE(link.Connected());
  EXPECT_FALSE(link.Port().IsOpen());
  ExpectEnabling(link, {true, false, false});
  // The port is remembered for the next Connect's dialog.
  EXPECT_EQ(link.MakePortDialog(Names{}).portName, pty.Path());
}

TEST_F(LinkPortPty, CancelKeepsThePortAndStaysUnconnected) {
  const std::string before = link.PortName();
  const int number = link.PortNumber();
  std::string msg;
  EXPECT_EQ(link.Connect(Typing(pty.Path(), false), &msg), ConnectResult::kCancelled);
  EXPECT_FALSE(link.Connected());
  EXPECT_FALSE(link.Port().IsOpen());
  EXPECT_EQ(link.PortName(), before);
  EXPECT_EQ(link.PortNumber(), number);
  ExpectEnabling(link, {true, false, false});
}

TEST_F(LinkPortPty, OkWithNothingChosenDoesNotConnect) {
  CComPortDlg dlg = link.MakePortDialog(Names{});
  const std::string before = link.PortName();
  std::string msg;
  EXPECT_EQ(link.ConnectWith(dlg, &msg), ConnectResult::kNoPortChosen);
  EXPECT_FALSE(link.Connected());
  EXPECT_EQ(link.PortName(), before);
}

TEST_F(LinkPortPty, OpenFailureNamesTheDeviceAndLeavesTheLinkDown) {
  std::string msg;
  EXPECT_EQ(link.Connect(Typing("/dev/pelagor-absent"), &msg), ConnectResult::kOpenFailed);
  EXPECT_EQ(msg, "Can not open /dev/pelagor-absent !");
  EXPECT_FALSE(link.Connected());
  ExpectEnabling(link, {true, false, false});
  EXPECT_EQ(link.PortName(), "/dev/pelagor-absent");  // the chosen port is kept
}

TEST_F(LinkPortPty, ReceiverInformationFillsTheDialogOrFails) {
  std::string msg;
  ASSERT_EQ(link.Connect(Typing(pty.Path()), &msg), ConnectResult::kConnected);
  const std::vector<unsigned char> query{0x56, 0x58, 0x01, 0, 0, 0, 0, 0};
  for (size_t replyLength : {size_t{104}, size_t{103}}) {
    std::vector<unsigned char> reply(replyLength, 0);
    std::memcpy(reply.data() + 8, "STB-T2", 6);
    std::memcpy(reply.data() + 40, "boot 1", 6);
    std::memcpy(reply.data() + 72, "main 9", 6);
    std::vector<unsigned char> seen;
    std::thread receiver([&] {
      seen = pty.Receive(2000);
      pty.Send(reply);
    });
    // A whole block returns at once, so only the short one waits out its bound.
    LinkTiming t = FastTiming();
    t.infoReplyWaitMs = replyLength == 104 ? 5000 : 150;
    link.Port().SetTiming(t);
    CSTBInfoDlg dlg;
    const bool ok = link.QueryInfo(dlg);
    receiver.join();
    EXPECT_EQ(seen, query);
    EXPECT_EQ(ok, replyLength == 104) << replyLength;
    EXPECT_EQ(dlg.model, ok ? "STB-T2" : "");
    EXPECT_EQ(dlg.mainVersion, ok ? "main 9" : "");
  }
}

TEST(LinkPort, ComNamingOpensByNumber) {
  CLinkPort link{FastTiming(), PortNaming::kComNumber};
  EXPECT_EQ(link.PortNumber(), 1);
  EXPECT_EQ(link.PortName(), "COM1");
  CComPortDlg dlg = link.MakePortDialog(Names{"COM250", "COM3"});
  EXPECT_EQ(dlg.portNumber, 1);
  EXPECT_EQ(dlg.PortText(), "COM250");  // the first item, not the preset port
  std::string msg;
  EXPECT_EQ(link.ConnectWith(dlg, &msg), ConnectResult::kOpenFailed);
  EXPECT_EQ(link.PortNumber(), 250);
  EXPECT_EQ(msg, "Can not open " + CSerialPort::DeviceName(250) + " !");
  EXPECT_FALSE(link.Connected());
}

}  // namespace
}  // namespace pelagor
