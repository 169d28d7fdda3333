#include "view/DropTarget.h"

namespace pelagor {

void DropTarget::BeginDrag() {
  highlighted_ = -1;
  savedSelected_ = false;
}

void DropTarget::Restore(DropRows& rows) {
  if (highlighted_ >= 0 && highlighted_ < rows.RowCount()) rows.SetRowSelected(highlighted_, savedSelected_);
}

bool DropTarget::Mark(DropRows& rows, int r) {
  if (r < 0 || r >= rows.RowCount()) return false;
  Restore(rows);
  highlighted_ = r;
  savedSelected_ = rows.IsRowSelected(r);
  rows.SetRowSelected(r, true);
  dropIndex_ = r;
  return true;
}

bool DropTarget::Step(DropRows& rows, ScrollDirection direction) {
  switch (direction) {
    case ScrollDirection::kUp: return Mark(rows, dropIndex_ - 1);
    case ScrollDirection::kDown: return Mark(rows, dropIndex_ + 1);
    case ScrollDirection::kNone: break;
  }
  return false;
}

int DropTarget::Release(DropRows& rows) {
  Restore(rows);
  // Given back once; a second release must not overwrite a newer selection.
  highlighted_ = -1;
  savedSelected_ = false;
  return DropPosition(dropIndex_, rows.RowCount());
}

int DropTarget::DropPosition(int dropIndex, int rowCount) {
  const int p = dropIndex + 1;
  return (p < 0 || p > rowCount - 1) ? rowCount : p;
}

ScrollDirection DropTarget::ScrollFor(int y, int bandTop, int bandBottom) {
  if (y < bandTop) return ScrollDirection::kUp;
  if (y >= bandBottom) return ScrollDirection::kDown;
  return ScrollDirection::kNone;
}

}  // namespace pelagor
