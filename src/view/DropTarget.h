#pragma once
// The drop-target rules of the channel list's drag and drop, kept apart from
// the toolkit: which row is marked while the cursor moves or the list
// scrolls, which selection bit the marked row gets back, which way to
// scroll, and the drop position handed to the view on release.

namespace pelagor {

// The rows of the list as the drop target sees them.
class DropRows {
 public:
  virtual ~DropRows() = default;
  [[nodiscard]] virtual int RowCount() const = 0;
  [[nodiscard]] virtual bool IsRowSelected(int row) const = 0;
  virtual void SetRowSelected(int row, bool selected) = 0;
};

enum class ScrollDirection { kNone = 0, kUp = 1, kDown = 2 };

class DropTarget {
 public:
  // A drag begins: no row is marked. The drop index is kept from the last
  // drag, so a release that never touched a row drops where the last one did.
  void BeginDrag();
  // Marks row r as the drop target: the previously marked row gets its own
  // selection bit back, r is selected and becomes the drop index. A row
  // outside the list changes nothing. True when r was marked.
  [[nodiscard]] bool Mark(DropRows& rows, int r);
  // One auto-scroll step: marks the row above (up) or below (down) the drop
  // index; nothing at either end of the list.
  [[nodiscard]] bool Step(DropRows& rows, ScrollDirection direction);
  // The button is released: the marked row gets its selection bit back and
  // the 1-based drop position is returned: the row after the drop index, or
  // the row count when that is not a row.
  [[nodiscard]] int Release(DropRows& rows);

  // Which way to scroll for a cursor at height y when the visible rows take
  // the band [bandTop, bandBottom).
  [[nodiscard]] static ScrollDirection ScrollFor(int y, int bandTop, int bandBottom);
  // The rule of Release alone.
  [[nodiscard]] static int DropPosition(int dropIndex, int rowCount);

  [[nodiscard]] int DropIndex() const { return dropIndex_; }
  [[nodiscard]] int HighlightedRow() const { return highlighted_; }
  [[nodiscard]] bool SavedSelected() const { return savedSelected_; }

 private:
  void Restore(DropRows& rows);

  int dropIndex_ = -1;
  int highlighted_ = -1;
  bool savedSelected_ = false;
};

}  // namespace pelagor
