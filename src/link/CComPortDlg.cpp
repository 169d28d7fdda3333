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

CComPortDlg::CComPortDlg(PortNaming naming) : m_naming(naming) {}

void CComPortDlg::InitPortList(std::vector<std::string> names) {
  if (m_naming == PortNaming::kComNumber) names = FilterComPortNames(names);
  SortPortNames(names);
  m_ports = std::move(names);
  m_selection = -1;
  m_text.clear();
  Select(0);
}

void CComPortDlg::Select(int index) {
  if (index < 0 || index >= static_cast<int>(m_ports.size())) {
    m_selection = -1;
    if (!Editable()) m_text.clear();
    return;
  }
  m_selection = index;
  m_text = m_ports[static_cast<size_t>(index)];
}

void CComPortDlg::SetPortText(std::string text) {
  if (!Editable()) return;
  m_text = std::move(text);
  m_selection = -1;
  for (size_t i = 0; i < m_ports.size(); ++i)
    if (m_ports[i] == m_text) m_selection = static_cast<int>(i);
}

bool CComPortDlg::OnOK() {
  std::string choice;
  if (Editable())
    choice = Trimmed(m_text);
  else if (m_selection >= 0)
    choice = m_ports[static_cast<size_t>(m_selection)];
  // No item and nothing typed: a missing entry must not become port 0.
  if (choice.empty()) return false;
  m_strPort = choice;
  if (m_naming == PortNaming::kComNumber) m_nPort = PortNumberFromName(choice);
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
