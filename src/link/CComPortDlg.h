#pragma once
// The port-selection dialog of Connect, without the toolkit: its texts,
// the port list and the conversion of the chosen entry on OK.

#include <string>
#include <string_view>
#include <vector>

namespace pelagor {

// How a port is named to the user and to OpenPort.
enum class PortNaming {
  kComNumber,   // Windows: "COMn" names, the port is its number
  kDevicePath,  // POSIX: device paths, and the user may type one
};

#ifdef _WIN32
inline constexpr PortNaming kHostPortNaming = PortNaming::kComNumber;
#else
inline constexpr PortNaming kHostPortNaming = PortNaming::kDevicePath;
#endif

class CComPortDlg {
 public:
  static constexpr int kTemplateId = 135;
  static constexpr std::string_view kCaption = "Select COM Port...";
  static constexpr std::string_view kGroupText = "Serial Setting";
  static constexpr std::string_view kPortLabel = "Port";
  static constexpr int kPortListId = 1021;
  static constexpr int kOkId = 1;
  static constexpr int kCancelId = 2;

  explicit CComPortDlg(PortNaming naming = kHostPortNaming);

  // Initialisation: the ports present, as text-sorted list items, the first selected.
  // COM naming keeps only "COM"-plus-digits names.
  void InitPortList(std::vector<std::string> names);

  PortNaming Naming() const { return naming_; }
  // Device paths can be typed into the combo as well as picked.
  bool Editable() const { return naming_ == PortNaming::kDevicePath; }
  const std::vector<std::string>& Ports() const { return ports_; }
  // The selected item, -1 for none.
  int Selection() const { return selection_; }
  // Picks an item (its text becomes the combo text); out of range selects none.
  void Select(int index);
  // The combo's text as the user left it: the selected item or what was typed.
  const std::string& PortText() const { return text_; }
  // Typing in the editable combo; ignored where the list is drop-down only.
  void SetPortText(std::string text);

  // OK: converts the choice into portNumber and portName. False when nothing was
  // chosen (empty list, nothing typed): the fields keep what the caller set, and
  // the caller must not connect.
  [[nodiscard]] bool OnOK();

  // Set by the caller before the dialog runs, read after OK.
  int portNumber = 1;
  std::string portName;

 private:
  PortNaming naming_;
  std::vector<std::string> ports_;
  int selection_ = -1;
  std::string text_;
};

// The decimal value of the leading digits after a port name's first three
// characters ("COM12" gives 12), 0 when there are none. Saturates instead of
// overflowing.
int PortNumberFromName(std::string_view name);

}  // namespace pelagor
