// The Windows port list: the COM names of the system's device names when no
// device of the Ports class is present, as under Wine.
#include "link/SerialPortList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelagor;

namespace {

using Names = std::vector<std::string>;

TEST(DosDeviceList, KeepsComNamesInOrder) {
  struct Case {
    std::string list;
    Names want;
  };
  const Case cases[] = {
      {std::string("C:\0COM5\0LPT1\0com12\0COM\0COM3:\0NUL\0", 32), {"COM5", "com12"}},
      {std::string("COM1\0COM2", 9), {"COM1", "COM2"}},  // last entry without its zero
      {std::string("\0\0", 2), {}},
      {std::string(), {}},
      {std::string("COM99999999999\0COM7\0", 20), {"COM7"}},  // no such port number
  };
  for (const Case& c : cases) EXPECT_EQ(ComPortsFromDeviceList(c.list), c.want) << c.list.size();
}

// The test prefix maps COM5 to a pseudo-terminal and has no Ports-class device.
TEST(Win32PortList, ListsTheComDevicesOfThePrefix) {
  const Names ports = EnumerateSerialPorts();
  ASSERT_FALSE(ports.empty());
  for (const std::string& p : ports) EXPECT_TRUE(IsComPortName(p)) << p;
  Names sorted = ports;
  SortPortNames(sorted);
  EXPECT_EQ(ports, sorted);
}

}  // namespace
