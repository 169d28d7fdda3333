#include "link/SerialPortList.h"

#include "link/SerialBackend.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace pelagor {

namespace fs = std::filesystem;

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

bool IsComPortName(const std::string& name) {
  if (name.size() <= 3) return false;
  if (Upper(name[0]) != 'C' || Upper(name[1]) != 'O' || Upper(name[2]) != 'M') return false;
  long long value = 0;
  for (size_t i = 3; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    // A number that cannot be a port would overflow the conversion on OK.
    if (value > INT_MAX) return false;
  }
  return true;
}

std::vector<std::string> FilterComPortNames(const std::vector<std::string>& names) {
  std::vector<std::string> out;
  std::copy_if(names.begin(), names.end(), std::back_inserter(out), IsComPortName);
  return out;
}

std::vector<std::string> ComPortsFromDeviceList(const std::string& list) {
  std::vector<std::string> out;
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find('\0', start);
    if (end == std::string::npos) end = list.size();
    std::string name = list.substr(start, end - start);
    if (IsComPortName(name)) out.push_back(std::move(name));
    start = end + 1;
  }
  return out;
}

void SortPortNames(std::vector<std::string>& names) {
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
      const char x = Upper(a[i]), y = Upper(b[i]);
      if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;  // only case differs: a fixed order all the same
  });
}

std::vector<TtyDevice> ReadTtyClass(const std::string& sysClassTty) {
  std::vector<TtyDevice> out;
  std::error_code ec;
  for (fs::directory_iterator it(sysClassTty, ec), end; !ec && it != end; it.increment(ec)) {
    TtyDevice d;
    d.name = it->path().filename().string();
    std::error_code e2;
    d.hasDriver = fs::exists(it->path() / "device" / "driver", e2);
    std::ifstream type(it->path() / "type");
    int t = -1;
    if (type >> t) d.serialType = t;
    out.push_back(std::move(d));
  }
  return out;
}

std::vector<std::string> FilterTtyDevices(const std::vector<TtyDevice>& devices, const std::string& devDir) {
  std::vector<std::string> out;
  for (const TtyDevice& d : devices) {
    // Consoles and pseudo-terminals have no driver; a legacy ttyS slot that the
    // serial core probed without finding a UART reports type 0.
    if (!d.hasDriver || d.serialType == 0 || d.name.empty()) continue;
    out.push_back(devDir + "/" + d.name);
  }
  SortPortNames(out);
  return out;
}

std::vector<std::string> ListTtyPorts(const std::string& sysClassTty, const std::string& devDir) {
  std::vector<std::string> out = FilterTtyDevices(ReadTtyClass(sysClassTty), devDir);
  std::erase_if(out, [](const std::string& path) {
    std::error_code ec;
    return !fs::exists(path, ec);
  });
  return out;
}

std::vector<std::string> EnumerateSerialPorts() {
  std::vector<std::string> out = serial_backend::EnumeratePorts();
  SortPortNames(out);
  return out;
}

}  // namespace pelagor
