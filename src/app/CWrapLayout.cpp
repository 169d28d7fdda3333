#include "app/CWrapLayout.h"

#include <QWidget>
#include <algorithm>

namespace pelagor {

CWrapLayout::CWrapLayout(QWidget* parent, int hSpacing, int vSpacing)
    : QLayout(parent), hSpacing_(hSpacing), vSpacing_(vSpacing) {
  setContentsMargins(0, 0, 0, 0);
}

CWrapLayout::~CWrapLayout() {
  while (QLayoutItem* item = takeAt(0)) delete item;
}

void CWrapLayout::addItem(QLayoutItem* item) { items_.append(item); }
int CWrapLayout::count() const { return int(items_.size()); }
QLayoutItem* CWrapLayout::itemAt(int index) const {
  return index >= 0 && index < items_.size() ? items_[index] : nullptr;
}
QLayoutItem* CWrapLayout::takeAt(int index) {
  return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}
Qt::Orientations CWrapLayout::expandingDirections() const { return {}; }

int CWrapLayout::heightForWidth(int width) const { return DoLayout(QRect(0, 0, width, 0), false); }

QSize CWrapLayout::minimumSize() const {
  QSize size;
  for (const QLayoutItem* item : items_) size = size.expandedTo(item->minimumSize());
  const QMargins m = contentsMargins();
  return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

// Everything in one row.
QSize CWrapLayout::sizeHint() const {
  int width = 0;
  int height = 0;
  int shown = 0;
  for (const QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const QSize s = item->sizeHint();
    width += s.width() + (shown++ > 0 ? hSpacing_ : 0);
    height = std::max(height, s.height());
  }
  const QMargins m = contentsMargins();
  return QSize(width + m.left() + m.right(), height + m.top() + m.bottom());
}

void CWrapLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  DoLayout(rect, true);
}

int CWrapLayout::DoLayout(const QRect& rect, bool apply) const {
  const QRect area = rect.marginsRemoved(contentsMargins());
  int x = area.x();
  int y = area.y();
  int lineHeight = 0;
  int lines = 1;
  // Items of one line are centred vertically on it, so the line is measured first.
  QList<QPair<QLayoutItem*, QPoint>> line;
  // An item wider than the whole line (a group that wraps inside itself)
  // gets the line's width and the height it needs at that width.
  auto sizeOf = [&area](const QLayoutItem* item) {
    QSize s = item->sizeHint();
    if (s.width() > area.width()) {
      s.setWidth(std::max(area.width(), item->minimumSize().width()));
      if (item->hasHeightForWidth()) s.setHeight(item->heightForWidth(s.width()));
    }
    return s;
  };
  auto flush = [&] {
    if (apply)
      for (const auto& [item, pos] : line) {
        const QSize s = sizeOf(item);
        item->setGeometry(QRect(QPoint(pos.x(), pos.y() + (lineHeight - s.height()) / 2), s));
      }
    line.clear();
  };
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const QSize s = sizeOf(item);
    if (!line.isEmpty() && x + s.width() > area.right() + 1) {
      flush();
      x = area.x();
      y += lineHeight + vSpacing_;
      lineHeight = 0;
      ++lines;
    }
    line.append({item, QPoint(x, y)});
    x += s.width() + hSpacing_;
    lineHeight = std::max(lineHeight, s.height());
  }
  flush();
  lines_ = lines;
  return y + lineHeight - rect.y() + contentsMargins().bottom();
}

}  // namespace pelagor
