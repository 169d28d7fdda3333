#include "link/CComPortDlg.h"

#include <climits>
#include <utility>

#include "link/SerialPortList.h"

namespace pelagor {

namespace {

std::string Trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

}  // namespace

CComPortDlg::CComPortDlg(PortNaming naming) : naming_(naming) {}

void CComPortDlg::InitPortList(std::vector<std::string> names) {
  if (naming_ == PortNaming::kComNumber) names = FilterComPortNames(names);
  SortPortNames(names);
  ports_ = std::move(names);
  selection_ = -1;
  text_.clear();
  Select(0);
}

void CComPortDlg::Select(int index) {
  if (index < 0 || index >= static_cast<int>(ports_.size())) {
    selection_ = -1;
    if (!Editable()) text_.clear();
    return;
  }
  selection_ = index;
  text_ = ports_[static_cast<size_t>(index)];
}

void CComPortDlg::SetPortText(std::string text) {
  if (!Editable()) return;
  text_ = std::move(text);
  selection_ = -1;
  for (size_t i = 0; i < ports_.size(); ++i)
    if (ports_[i] == text_) selection_ = static_cast<int>(i);
}

bool CComPortDlg::OnOK() {
  std::string choice;
  if (Editable())
    choice = Trimmed(text_);
  else if (selection_ >= 0)
    choice = ports_[static_cast<size_t>(selection_)];
  // No item and nothing typed: a missing entry must not become port 0.
  if (choice.empty()) return false;
  portName = choice;
  if (naming_ == PortNaming::kComNumber) portNumber = PortNumberFromName(choice);
  return true;
}

int PortNumberFromName(std::string_view name) {
  if (name.size() <= 3) return 0;
  long long value = 0;
  for (size_t i = 3; i < name.size(); ++i) {
    const char c = name[i];
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(value);
}

}  // namespace pelagor
