// Find (the name filter above the channel list) and Move Up / Move Down,
// which move the selected channels one row among the shown ones through the
// same move as paste.

#include <algorithm>

#include "view/CVortanView.h"
#include "view/RecordText.h"

namespace pelagor {

void CVortanView::OnFindTextChanged(const std::string& text) {
  ChannelFilter& filter = list_.Filter();
  if (text == filter.name) return;
  filter.name = text;
  filter.nameFolded = FoldCase(text);
  FillChannelList(ChannelFill::SelectRow(1));
}

namespace {

// The selected rows as runs of neighbouring rows [first, last], in order.
std::vector<std::pair<int, int>> RowRuns(std::vector<int> rows, int rowCount) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<std::pair<int, int>> runs;
  for (int r : rows) {
    if (r < 0 || r >= rowCount) continue;
    if (!runs.empty() && runs.back().second + 1 == r) {
      runs.back().second = r;
    } else {
      runs.push_back({r, r});
    }
  }
  return runs;
}

}  // namespace

bool CVortanView::CanMoveSelection(int direction) const {
  if (!ws_.loaded) return false;
  const auto runs = RowRuns(ui_.SelectedRows(ListId::kChannels), list_.RowCount());
  if (runs.empty()) return false;
  // A run at the list's end stays; any other run can move.
  if (runs.size() > 1) return true;
  return direction < 0 ? runs.front().first > 0 : runs.back().second < list_.RowCount() - 1;
}

void CVortanView::OnMoveSelection(int direction) {
  if (!CanMoveSelection(direction)) return;
  EditScope scope(*this);
  const auto runs = RowRuns(ui_.SelectedRows(ListId::kChannels), list_.RowCount());
  // The user's own cut stays for a later paste.
  const std::vector<uint16_t> userCut = st_.cutList;
  std::vector<int> selected;
  // Each run swaps places with the row next to it: that row is moved to the
  // other end of the run. Runs are taken so that a moved one never shifts
  // the rows of one still to come.
  auto moveRun = [&](const std::pair<int, int>& run) {
    const auto [first, last] = run;
    if (direction < 0 ? first == 0 : last == list_.RowCount() - 1) {
      for (int r = first; r <= last; ++r) selected.push_back(r);
      return;
    }
    const int neighbour = direction < 0 ? first - 1 : last + 1;
    st_.cutList = {ChannelOfRow(neighbour)};
    MoveCutChannels(direction < 0 ? last + 1 : first);
    for (int r = first; r <= last; ++r) selected.push_back(r + direction);
  };
  if (direction < 0) {
    std::for_each(runs.begin(), runs.end(), moveRun);
  } else {
    std::for_each(runs.rbegin(), runs.rend(), moveRun);
  }
  st_.cutList = userCut;
  FillChannelList(ChannelFill::SelectNothing());
  std::sort(selected.begin(), selected.end());
  ui_.SelectRows(ListId::kChannels, selected);
  MarkModified();
}

void CVortanView::OnMoveUp() { OnMoveSelection(-1); }
void CVortanView::OnMoveDown() { OnMoveSelection(+1); }

}  // namespace pelagor
