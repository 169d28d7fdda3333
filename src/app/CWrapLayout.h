#pragma once
// A row of widgets that continues on the next line when the width runs out,
// so a narrow window still shows every control. Its minimum width is that of
// its widest item, not the sum of all.

#include <QLayout>
#include <QList>

namespace pelagor {

class CWrapLayout : public QLayout {
 public:
  explicit CWrapLayout(QWidget* parent = nullptr, int hSpacing = 6, int vSpacing = 4);
  ~CWrapLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize minimumSize() const override;
  QSize sizeHint() const override;
  void setGeometry(const QRect& rect) override;

  // Lines the last layout used (1 when everything fits in one row).
  int LineCount() const { return lines_; }

 private:
  // Places the items in rect (or only measures when apply is false); returns the height used.
  int DoLayout(const QRect& rect, bool apply) const;

  QList<QLayoutItem*> items_;
  int hSpacing_;
  int vSpacing_;
  mutable int lines_ = 1;
};

}  // namespace pelagor
