// The channel order: cut and paste, drag and drop, Move Up / Move Down (the
// selected channels one row among the shown ones, through the same move as
// paste) and the four sorts.

#include <algorithm>
#include <unordered_set>

#include "db/Sorting.h"
#include "view/CVortanView.h"

namespace pelagor {

void CVortanView::OnCutChannel() { st_.cutList = SelectedChannels(); }

void CVortanView::OnPasteChannel() {
  const std::vector<int> rows = ui_.SelectedRows(ListId::kChannels);
  if (rows.empty() || st_.cutList.empty()) return;
  MoveCutChannels(rows.front());
  FillChannelList(ChannelFill::SelectCut());
  st_.cutList.clear();
  MarkModified();
}

void CVortanView::OnListBeginDrag(ListId list) {
  if (list == ListId::kChannels) OnCutChannel();
}

void CVortanView::OnListDrop(ListId list, int dropPosition) {
  if (list != ListId::kChannels) return;
  EditScope scope(*this);
  MoveCutChannels(dropPosition - 1);
  FillChannelList(ChannelFill::SelectCut());
  st_.cutList.clear();
  MarkModified();
}

void CVortanView::MoveCutChannels(int targetRow) {
  const std::vector<uint16_t>& cut = st_.cutList;
  if (cut.empty() || list_.RowCount() < 2 || cut.front() == kNoChan) return;
  const uint16_t target = ChannelOfRow(targetRow);
  if (cut.front() == target) return;

  std::vector<uint16_t> shown(list_.Rows().begin(), list_.Rows().end());
  shown.erase(std::remove(shown.begin(), shown.end(), kNoChan), shown.end());
  const std::unordered_set<uint16_t> shownSet(shown.begin(), shown.end());
  // Only channels the list shows now can move: one that the filters hide
  // since the cut (or that was deleted) has no row to leave, and moving it
  // in would put it into the order twice.
  std::vector<uint16_t> moving;
  std::unordered_set<uint16_t> movingSet;
  for (uint16_t c : cut) {
    if (shownSet.count(c) && movingSet.insert(c).second) moving.push_back(c);
  }
  if (moving.empty()) return;

  std::vector<uint16_t> order;
  order.reserve(shown.size());
  bool reached = false;
  for (uint16_t c : shown) {
    if (movingSet.count(c)) continue;
    if (c == target && !reached) {
      order.insert(order.end(), moving.begin(), moving.end());
      reached = true;
    }
    order.push_back(c);
  }
  if (!reached) order.insert(order.end(), moving.begin(), moving.end());

  // Write the new order into the places of the shown channels in the source
  // list; every other entry keeps its place and value. The whole list is
  // walked, as the rebuild walks it, so each shown entry is met.
  DbImage& img = Image();
  const int k = list_.Filter().favorite;
  const int type01 = list_.Filter().service == ServiceType::kTv ? 0 : 1;
  const int length = k == 0 ? kMaxChans : kFavEntries;
  auto get = [&](int i) { return k == 0 ? img.Order(i) : img.FavEntry(type01, k - 1, i); };
  auto set = [&](int i, uint16_t v) {
    if (k == 0) {
      img.SetOrder(i, v);
    } else {
      img.SetFavEntry(type01, k - 1, i, v);
    }
  };
  size_t next = 0;
  for (int i = 0; i < length && next < order.size(); ++i) {
    if (shownSet.count(get(i))) set(i, order[next++]);
  }
  list_.SetRows(order);
}

void CVortanView::OnSortChannels(ChanMenuItem sort) {
  std::vector<uint16_t> order = ReadChannelOrder(Image());
  const DbImage& img = Image();
  uint16_t* list = order.data();
  const int n = int(order.size());
  DbStatus r = kDbRefused;
  switch (sort) {
    case ChanMenuItem::kSortByChanNo: r = SortChansByNumber(img, list, n, true); break;
    case ChanMenuItem::kSortByName: r = SortChansByName(img, list, n, true); break;
    case ChanMenuItem::kSortBySatellite: r = SortChansBySatellite(img, list, n, true); break;
    case ChanMenuItem::kSortByProvider:
      if (!ws_.providerPresent) return;  // nothing to sort by
      r = SortChansByProvider(img, ws_.providers, list, n, true);
      break;
    default: return;
  }
  if (r != kDbDone) return;
  WriteChannelOrder(Image(), order);
  FillChannelList(ChannelFill::SelectRow(1));
  MarkModified();
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
