#include "view/CProviderSelectDlg.h"

#include <algorithm>
#include <cstring>

#include "db/Sorting.h"
#include "view/RecordText.h"

namespace pelagor {

namespace {

// Bytes of an entry's name up to its first NUL.
std::string_view NameBytes(const ProviderTable& t, size_t i) {
  const auto& n = t.entries[i].name;
  const auto* p = reinterpret_cast<const char*>(n.data());
  return std::string_view(p, strnlen(p, n.size()));
}

}  // namespace

int CompareProviderNames(const ProviderTable& table, int a, int b) {
  const bool ua = table.IsUnknown(size_t(a));
  const bool ub = table.IsUnknown(size_t(b));
  if (ua && ub) return 1;
  if (ua) return -1;
  if (ub) return 1;
  const int c =
      CompareFoldedText(table.entries[size_t(a)].name.data(), table.entries[size_t(b)].name.data(), kProviderNameSize);
  return c == 0 ? 1 : c;
}

void CProviderSelectDlg::Open() {
  typedName.clear();
  std::vector<int> refs;
  for (size_t i = 0; i < kProviderEntries; ++i) {
    if (table.entries[i].name[0] != 0) refs.push_back(int(i));
  }
  QuickSortRefs(
      refs, [this](int a, int b) { return CompareProviderNames(table, a, b); }, true);
  sorted_.clear();
  sorted_.reserve(refs.size());
  for (int i : refs) sorted_.push_back({i, DecodeRecordText(table.entries[size_t(i)].name.data(), kProviderNameSize)});
  const size_t n = std::min<size_t>(table.count, sorted_.size());
  lines_.assign(sorted_.begin(), sorted_.begin() + std::ptrdiff_t(n));
  selectedLine_ = lines_.empty() ? -1 : 0;
}

void CProviderSelectDlg::TypeText(std::string_view text) { typedName = FirstCharacters(text, kTypedChars); }

void CProviderSelectDlg::ChooseLine(int line) {
  selectedLine_ = (line >= 0 && line < int(lines_.size())) ? line : -1;
  typedName.clear();
}

std::optional<ValidationFailure<CProviderSelectDlg::Field>> CProviderSelectDlg::Validate() {
  chosenIndex = -1;
  if (!typedName.empty()) {
    const std::string bytes = EncodeRecordText(FirstCharacters(typedName, kTypedChars));
    for (size_t i = 0; i < kProviderEntries; ++i) {
      if (NameBytes(table, i) == bytes) {
        chosenIndex = int(i);
        return std::nullopt;
      }
    }
    for (size_t i = 0; i < kProviderEntries; ++i) {
      if (table.entries[i].name[0] != 0) continue;
      auto& name = table.entries[i].name;
      name.fill(0);
      std::memcpy(name.data(), bytes.data(), std::min(bytes.size(), size_t(kTypedChars)));
      chosenIndex = int(i);
      return std::nullopt;
    }
    return ValidationFailure<Field>{Field::kProviderName, std::string(kTableFullText)};
  }
  if (selectedLine_ < 0 || selectedLine_ >= int(lines_.size())) return std::nullopt;
  const std::string_view wanted = NameBytes(table, size_t(lines_[size_t(selectedLine_)].index));
  for (size_t i = 0; i < kProviderEntries; ++i) {
    if (NameBytes(table, i) == wanted) {
      chosenIndex = int(i);
      break;
    }
  }
  return std::nullopt;
}

}  // namespace pelagor
