#include "app/CDragDropListCtrl.h"

#include <algorithm>

#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>

namespace pelagor {

// The list's rows and their selection bits, as the drop-target rules see them.
class CDragDropListCtrl::Rows : public DropRows {
 public:
  explicit Rows(CDragDropListCtrl& list) : list_(list) {}
  int RowCount() const override { return list_.model() == nullptr ? 0 : list_.model()->rowCount(); }
  bool IsRowSelected(int row) const override {
    return list_.selectionModel() != nullptr && list_.selectionModel()->isSelected(list_.model()->index(row, 0));
  }
  void SetRowSelected(int row, bool selected) override {
    if (list_.selectionModel() == nullptr) return;
    list_.selectionModel()->select(
        list_.model()->index(row, 0),
        (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | QItemSelectionModel::Rows);
  }

 private:
  CDragDropListCtrl& list_;
};

CDragDropListCtrl::CDragDropListCtrl(QWidget* parent) : QTableView(parent) {
  // Qt's own drag start keeps a multiple selection intact while the press
  // turns into a drag; the drag itself is ours (no QDrag, no mime data).
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
}

CDragDropListCtrl::~CDragDropListCtrl() { StopScrollTimer(); }

void CDragDropListCtrl::SetOwner(std::function<void()> beginDrag, std::function<void(int)> drop) {
  onBeginDrag_ = std::move(beginDrag);
  onDrop_ = std::move(drop);
}

bool CDragDropListCtrl::BuildDragImage(QPoint cursor) {
  // The union of the selected rows' rectangles over all columns. Only the
  // visible part counts: rows far apart would otherwise ask for an image as
  // tall as the whole list.
  const QRect visible = viewport()->rect();
  const int left = columnViewportPosition(0);
  const int width = horizontalHeader()->length();
  QRect bounds;
  std::vector<QRect> rowRects;
  const QModelIndexList rows = selectionModel() == nullptr ? QModelIndexList{} : selectionModel()->selectedRows();
  for (const QModelIndex& index : rows) {
    const QRect r = QRect(left, rowViewportPosition(index.row()), width, rowHeight(index.row())) & visible;
    if (r.isEmpty()) continue;
    rowRects.push_back(r);
    bounds |= r;
  }
  hotSpot_ = cursor - bounds.topLeft();
  if (bounds.isEmpty()) {
    pixmap_ = QPixmap();
    return true;  // nothing of it is on screen; the drag goes on without a picture
  }
  QPixmap pixmap(bounds.size() * devicePixelRatioF());
  if (pixmap.isNull()) return false;
  pixmap.setDevicePixelRatio(devicePixelRatioF());
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    for (const QRect& r : rowRects)
      viewport()->render(&painter, r.topLeft() - bounds.topLeft(), QRegion(r), QWidget::DrawWindowBackground);
  }
  pixmap_ = pixmap;
  return true;
}

void CDragDropListCtrl::MoveImage(QPoint viewportPos) {
  if (image_ != nullptr) image_->move(viewport()->mapToGlobal(viewportPos) - hotSpot_);
}

void CDragDropListCtrl::BeginDrag(QPoint actionPoint) {
  target_.BeginDrag();
  if (selectionMode() == QAbstractItemView::SingleSelection) {
    savedSingleSelection_ = true;
    setSelectionMode(QAbstractItemView::ExtendedSelection);
  }
  const bool anySelected = selectionModel() != nullptr && selectionModel()->hasSelection();
  if (anySelected) {
    image_.reset();
    if (BuildDragImage(actionPoint)) {
      image_ = std::make_unique<QLabel>(this, Qt::ToolTip | Qt::FramelessWindowHint);
      image_->setObjectName("dragImage");
      image_->setAttribute(Qt::WA_TransparentForMouseEvents);
      image_->setAttribute(Qt::WA_ShowWithoutActivating);
      image_->setWindowOpacity(0.7);
      // Moves without a button must arrive too, to see a lost release.
      savedTracking_ = viewport()->hasMouseTracking();
      viewport()->setMouseTracking(true);
      if (!pixmap_.isNull()) {
        image_->setPixmap(pixmap_);
        image_->resize(pixmap_.deviceIndependentSize().toSize());
        MoveImage(actionPoint);
        image_->show();
      }
    }
  }
  if (onBeginDrag_) onBeginDrag_();
}

void CDragDropListCtrl::DragMoveTo(QPoint pos) {
  if (!Dragging()) {
    StopScrollTimer();
    return;
  }
  MoveImage(pos);
  // Only the height matters: any point at the cursor's height inside the
  // rows' band marks the row there.
  const int band = viewport()->height();
  if (pos.y() >= 0 && pos.y() < band) {
    Rows rows(*this);
    if (target_.Mark(rows, rowAt(pos.y()))) viewport()->update();
  }
  const ScrollDirection direction = DropTarget::ScrollFor(pos.y(), 0, band);
  if (direction == ScrollDirection::kNone)
    StopScrollTimer();
  else
    RunScrollTimer(direction);
}

void CDragDropListCtrl::RunScrollTimer(ScrollDirection direction) {
  if (!timer_.isActive()) timer_.start(kScrollInterval, this);
  direction_ = direction;
}

void CDragDropListCtrl::StopScrollTimer() {
  if (!timer_.isActive()) return;
  timer_.stop();
  direction_ = ScrollDirection::kNone;
}

void CDragDropListCtrl::ScrollTick() {
  if (!Dragging() || direction_ == ScrollDirection::kNone) return;
  verticalScrollBar()->triggerAction(direction_ == ScrollDirection::kUp ? QAbstractSlider::SliderSingleStepSub
                                                                        : QAbstractSlider::SliderSingleStepAdd);
  Rows rows(*this);
  // At either end of the list there is nothing to mark; the next tick tries again.
  static_cast<void>(target_.Step(rows, direction_));
}

void CDragDropListCtrl::EndDrag() {
  if (!Dragging()) return;
  StopScrollTimer();
  image_.reset();
  pixmap_ = QPixmap();
  viewport()->setMouseTracking(savedTracking_);
  Rows rows(*this);
  const int position = target_.Release(rows);
  if (onDrop_) onDrop_(position);
  if (savedSingleSelection_) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    savedSingleSelection_ = false;
  }
}

void CDragDropListCtrl::mousePressEvent(QMouseEvent* event) {
  if (Dragging()) {
    event->accept();
    return;
  }
  armed_ = false;
  QTableView::mousePressEvent(event);
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton && indexAt(pos).isValid()) {
    armed_ = true;
    pressPos_ = pos;
  }
}

void CDragDropListCtrl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (Dragging()) {
    event->accept();
    if ((event->buttons() & Qt::LeftButton) == 0) {
      // The release went elsewhere (a popup took the mouse): end the drag
      // where it stands rather than leave it hanging.
      EndDrag();
      setState(NoState);
      return;
    }
    DragMoveTo(pos);
    return;
  }
  if (armed_ && (event->buttons() & Qt::LeftButton) != 0 &&
      (pos - pressPos_).manhattanLength() > QApplication::startDragDistance()) {
    armed_ = false;
    BeginDrag(pressPos_);
    if (Dragging()) {
      setState(NoState);
      DragMoveTo(pos);
      event->accept();
      return;
    }
  }
  if ((event->buttons() & Qt::LeftButton) == 0) armed_ = false;
  StopScrollTimer();
  QTableView::mouseMoveEvent(event);
}

void CDragDropListCtrl::mouseReleaseEvent(QMouseEvent* event) {
  armed_ = false;
  if (Dragging() && event->button() == Qt::LeftButton) {
    EndDrag();
    // The list's own release handling would select the row under the
    // cursor and undo the selection the view made after the drop.
    setState(NoState);
    event->accept();
    return;
  }
  QTableView::mouseReleaseEvent(event);
}

void CDragDropListCtrl::startDrag(Qt::DropActions) {
  // Reached only when the list's own drag start came first.
  if (!Dragging()) {
    armed_ = false;
    BeginDrag(pressPos_);
  }
}

// Home and End go to the first and the last row (not column): the list is a
// list of rows, and Shift with them extends the selection as with the arrows.
QModelIndex CDragDropListCtrl::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
  if ((cursorAction == MoveHome || cursorAction == MoveEnd) && model() != nullptr && model()->rowCount() > 0) {
    const int column = std::max(0, currentIndex().column());
    return model()->index(cursorAction == MoveHome ? 0 : model()->rowCount() - 1, column);
  }
  return QTableView::moveCursor(cursorAction, modifiers);
}

void CDragDropListCtrl::keyPressEvent(QKeyEvent* event) {
  if (keyHandler_ && event->modifiers() == Qt::NoModifier && keyHandler_(event->key())) {
    event->accept();
    return;
  }
  // Enter reaches the handler from the keypad too.
  if (keyHandler_ && event->modifiers() == Qt::KeypadModifier && keyHandler_(event->key())) {
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void CDragDropListCtrl::timerEvent(QTimerEvent* event) {
  if (event->timerId() == timer_.timerId() && Dragging()) {
    ScrollTick();
    return;
  }
  QTableView::timerEvent(event);
}

}  // namespace pelagor
