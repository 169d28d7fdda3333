#pragma once
// The channel list: a row table whose selected rows can be dragged to
// another place in the same list. It moves nothing itself: it tells its
// owner when a drag begins and where the rows were dropped, and the owner
// (the view) moves the channels and rebuilds the list.

#include <QBasicTimer>
#include <QPixmap>
#include <QPoint>
#include <QTableView>
#include <functional>
#include <memory>

#include "view/DropTarget.h"

class QLabel;

namespace pelagor {

class CDragDropListCtrl : public QTableView {
  Q_OBJECT
 public:
  static constexpr int kScrollInterval = 10;  // ms per auto-scroll line

  explicit CDragDropListCtrl(QWidget* parent = nullptr);
  ~CDragDropListCtrl() override;

  // The owner's two calls; drop gets the 1-based drop position.
  void SetOwner(std::function<void()> beginDrag, std::function<void(int)> drop);
  // Keys the owner handles (Insert, Enter, Delete); true when it took the key.
  void SetKeyHandler(std::function<bool(int key)> handler) { keyHandler_ = std::move(handler); }

  bool Dragging() const { return image_ != nullptr; }
  const DropTarget& Target() const { return target_; }
  ScrollDirection Scrolling() const { return direction_; }
  bool ScrollTimerActive() const { return timer_.isActive(); }
  // The image shown under the cursor while dragging (null outside a drag).
  QPixmap DragPixmap() const { return pixmap_; }
  QPoint HotSpot() const { return hotSpot_; }

  // The steps of a drag, in viewport coordinates; the mouse handlers call
  // them and tests may drive them one by one.
  void BeginDrag(QPoint actionPoint);
  void DragMoveTo(QPoint pos);
  void ScrollTick();
  void EndDrag();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
  void timerEvent(QTimerEvent* event) override;
  void startDrag(Qt::DropActions supportedActions) override;

 private:
  class Rows;
  bool BuildDragImage(QPoint cursor);
  void MoveImage(QPoint viewportPos);
  void RunScrollTimer(ScrollDirection direction);
  void StopScrollTimer();

  std::function<void()> onBeginDrag_;
  std::function<void(int)> onDrop_;
  std::function<bool(int)> keyHandler_;
  DropTarget target_;
  std::unique_ptr<QLabel> image_;  // present exactly while a drag is in progress
  QPixmap pixmap_;
  QPoint hotSpot_;
  bool savedSingleSelection_ = false;
  bool savedTracking_ = false;
  ScrollDirection direction_ = ScrollDirection::kNone;
  QBasicTimer timer_;
  // The press that may become a drag.
  bool armed_ = false;
  QPoint pressPos_;
};

}  // namespace pelagor
