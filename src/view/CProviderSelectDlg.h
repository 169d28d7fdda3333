#pragma once
// "Set Provider ID": choose a provider by name or type a new one. The caller
// copies its whole ProviderTable into table and calls Open(); the face shows
// Lines() in an editable combo with SelectedLine() chosen, reports typing
// with TypeText() and picks from the list with ChooseLine() (a face whose
// combo also rewrites its edit text on a pick must not report that as
// typing). On OK it calls Validate(); after it has passed, chosenIndex holds
// the provider index (-1: nothing matched) and table may hold the newly typed
// name, which the caller copies back.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/ProviderTable.h"
#include "view/DialogValidation.h"

namespace pelagor {

class CProviderSelectDlg {
 public:
  enum class Field { kProviderName };
  static constexpr std::string_view kTitle = "Set Provider ID";
  static constexpr std::string_view kPrompt = "Select or Enter Provider Name";
  static constexpr std::string_view kLabel = "Provider Name";
  static constexpr int kTypedChars = 15;
  // A new name with every one of the 2000 entries named: OK refuses it.
  static constexpr std::string_view kTableFullText = "No more provider can be added !";

  struct Line {
    int index = 0;     // entry of the table
    std::string name;  // UTF-8, as the combo shows it
  };

  // Opening: typedName cleared, the named entries sorted ("Unknown" first,
  // then by name without regard to case), the combo lines taken from the
  // front of that order and the first line selected.
  void Open();

  // Every named entry in combo order.
  [[nodiscard]] const std::vector<Line>& SortedNames() const { return sorted_; }
  // What the combo lists: the first "number in use" names of that order, or
  // all named ones when fewer are named than the table claims in use.
  [[nodiscard]] const std::vector<Line>& Lines() const { return lines_; }
  [[nodiscard]] int SelectedLine() const { return selectedLine_; }

  // The edit part changed: its text, cut to 15 characters, is the typed name.
  void TypeText(std::string_view text);
  // A line chosen from the list (-1: none); typedName is cleared.
  void ChooseLine(int line);

  // OK: a typed name is looked up exactly (letter case matters) over all
  // entries in index order, else stored in the first unnamed entry; without
  // one the first entry named exactly as the selected line is chosen. The
  // only refusal: a new name when no entry is free.
  [[nodiscard]] std::optional<ValidationFailure<Field>> Validate();

  ProviderTable table;
  std::string typedName;  // UTF-8
  int chosenIndex = -1;

 private:
  std::vector<Line> sorted_;
  std::vector<Line> lines_;
  int selectedLine_ = -1;
};

// The provider order of the combo: negative when a comes first. "Unknown" in
// any case before everything else; other names folded a-z onto A-Z over 16
// bytes. Equal names, and two "Unknown", report a as the greater, so their
// order is left to the sort.
[[nodiscard]] int CompareProviderNames(const ProviderTable& table, int a, int b);

}  // namespace pelagor
