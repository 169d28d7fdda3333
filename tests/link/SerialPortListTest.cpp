#include "link/SerialPortList.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace pelagor;

namespace {

namespace fs = std::filesystem;

struct NameCase {
  const char* name;
  bool listed;
};

class ComPortNameFilter : public ::testing::TestWithParam<NameCase> {};

TEST_P(ComPortNameFilter, AcceptsComAndDigitsOnly) {
  EXPECT_EQ(IsComPortName(GetParam().name), GetParam().listed) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Names, ComPortNameFilter,
                         ::testing::Values(NameCase{"COM1", true}, NameCase{"COM10", true}, NameCase{"com7", true},
                                           NameCase{"CoM3", true}, NameCase{"COM0", true}, NameCase{"COM", false},
                                           NameCase{"LPT1", false}, NameCase{"COM1:", false}, NameCase{"COM 1", false},
                                           NameCase{"COMX", false}, NameCase{"XCOM1", false}, NameCase{"", false},
                                           NameCase{"COM2147483647", true}, NameCase{"COM2147483648", false},
                                           NameCase{"COM99999999999999999999", false}));

TEST(ComPortList, FilterKeepsOrderAndSortPutsCom10BeforeCom2) {
  std::vector<std::string> names = FilterComPortNames({"COM2", "LPT1", "COM10", "COM", "COM1", "com7", "COM3:"});
  EXPECT_EQ(names, (std::vector<std::string>{"COM2", "COM10", "COM1", "com7"}));
  SortPortNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"COM1", "COM10", "COM2", "com7"}));
}

TEST(ComPortList, SortFoldsCaseLikeTheList) {
  std::vector<std::string> names{"COM7", "com1", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0"};
  SortPortNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB1", "com1", "COM7"}));
}

TEST(TtyFilter, KeepsDriverBackedPortsWithAUart) {
  const std::vector<TtyDevice> devices{
      {"ttyUSB1", true, -1}, {"tty0", false, -1}, {"ttyS1", true, 0},    {"ttyS0", true, 4},
      {"ttyACM0", true, -1}, {"ptmx", false, -1}, {"ttyUSB0", true, -1}, {"console", false, -1},
  };
  EXPECT_EQ(FilterTtyDevices(devices, "/dev"),
            (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB1"}));
}

// A made-up sysfs tty class and /dev, laid out as the kernel does.
class FakeSysfs : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(root.empty());
    fs::create_directories(root / "sys" / "tty");
    fs::create_directories(root / "dev");
    fs::create_directories(root / "drivers" / "serial8250");
    fs::create_directories(root / "drivers" / "usbserial");
  }

  void AddTty(const std::string& name, const char* driver, int type, bool node) {
    const fs::path dir = root / "sys" / "tty" / name;
    fs::create_directories(dir);
    if (driver) {
      fs::create_directories(dir / "device");
      fs::create_directory_symlink(root / "drivers" / driver, dir / "device" / "driver");
    }
    if (type >= 0) std::ofstream(dir / "type") << type << "\n";
    if (node) std::ofstream(root / "dev" / name) << "";
  }

  pelagor::test::ScratchDir scratch{"pelagor-ttyclass-"};
  fs::path root = scratch.Path();
};

TEST_F(FakeSysfs, ListsPresentSerialDevicesSorted) {
  AddTty("ttyS0", "serial8250", 4, true);
  AddTty("ttyS1", "serial8250", 0, true);  // no UART behind this slot
  AddTty("ttyUSB0", "usbserial", -1, true);
  AddTty("ttyACM3", "usbserial", -1, false);  // gone from /dev: unplugged
  AddTty("tty1", nullptr, -1, true);
  AddTty("ttyS10", "serial8250", 4, true);

  const std::string dev = (root / "dev").string();
  EXPECT_EQ(ListTtyPorts((root / "sys" / "tty").string(), dev),
            (std::vector<std::string>{dev + "/ttyS0", dev + "/ttyS10", dev + "/ttyUSB0"}));
}

TEST_F(FakeSysfs, MissingClassDirectoryGivesEmptyList) {
  EXPECT_TRUE(ListTtyPorts((root / "nothing").string(), (root / "dev").string()).empty());
}

TEST(HostPorts, EveryListedPortExistsAndTheListIsSorted) {
  const std::vector<std::string> ports = EnumerateSerialPorts();
  std::vector<std::string> sorted = ports;
  SortPortNames(sorted);
  EXPECT_EQ(ports, sorted);
  for (const std::string& p : ports) EXPECT_TRUE(fs::exists(p)) << p;
}

}  // namespace
