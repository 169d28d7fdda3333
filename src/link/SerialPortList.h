#pragma once

// The serial ports present on this machine, for the port-selection dialog.
#include <string>
#include <vector>

namespace pelagor {

// A Windows port name the dialog accepts: "COM" in any case followed by one or more
// decimal digits whose value fits a port number.
bool IsComPortName(const std::string& name);

// The names that pass IsComPortName, in their given order.
std::vector<std::string> FilterComPortNames(const std::vector<std::string>& names);

// The COM port names in a list of device names separated by zero bytes, as
// QueryDosDevice gives it, in their given order.
std::vector<std::string> ComPortsFromDeviceList(const std::string& list);

// Sorted as text the way the port list shows them: letters compared without case,
// digits as characters, so COM10 comes before COM2.
void SortPortNames(std::vector<std::string>& names);

// One entry of /sys/class/tty as far as the filter needs it.
struct TtyDevice {
  std::string name;        // e.g. "ttyUSB0"
  bool hasDriver = false;  // device/driver exists: a real port, not a console or pty
  int serialType = -1;     // the serial core's "type" attribute; 0 means no UART found
};

// The entries of a sysfs tty class directory (unreadable entries are skipped).
std::vector<TtyDevice> ReadTtyClass(const std::string& sysClassTty);

// Device paths under devDir of the entries that are serial ports, sorted.
std::vector<std::string> FilterTtyDevices(const std::vector<TtyDevice>& devices, const std::string& devDir);

// FilterTtyDevices over ReadTtyClass, keeping only device nodes that exist.
std::vector<std::string> ListTtyPorts(const std::string& sysClassTty, const std::string& devDir);

// The host's ports, sorted: device paths on POSIX, "COMn" names on Windows.
std::vector<std::string> EnumerateSerialPorts();

}  // namespace pelagor
