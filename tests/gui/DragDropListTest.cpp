// The drag-and-drop list control on its own, over a plain item model: real
// mouse drags, the owner's calls, the drop-target marking, auto-scroll one
// line per tick and the selection mode given back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>
#include <vector>

#include "app/CDragDropListCtrl.h"

namespace pelagor::guitest {
namespace {

class DragDropListTest : public testing::Test {
 protected:
  void SetUp() override {
    model_.setColumnCount(3);
    for (int r = 0; r < kRows; ++r) {
      QList<QStandardItem*> row;
      for (int c = 0; c < 3; ++c) {
        auto* item = new QStandardItem(QString("r%1c%2").arg(r).arg(c));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
        row << item;
      }
      model_.appendRow(row);
    }
    list_.setModel(&model_);
    list_.setSelectionBehavior(QAbstractItemView::SelectRows);
    list_.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_.verticalHeader()->setDefaultSectionSize(20);
    list_.verticalHeader()->hide();
    for (int c = 0; c < 3; ++c) list_.setColumnWidth(c, 80);  // no horizontal scroll bar
    list_.resize(300, 10 * 20 + list_.horizontalHeader()->height() + 2 * list_.frameWidth());
    list_.SetOwner([this] { begins_.push_back(SelectedRows()); }, [this](int p) { drops_.push_back(p); });
    list_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list_));
  }

  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : list_.selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  void Select(std::initializer_list<int> rows) {
    list_.selectionModel()->clearSelection();
    for (int r : rows)
      list_.selectionModel()->select(model_.index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  QWidget* Port() { return list_.viewport(); }
  // Centre of a visible row at horizontal position x.
  QPoint RowPoint(int row, int x = 40) { return {x, list_.rowViewportPosition(row) + 10}; }

  static constexpr int kRows = 40;
  QStandardItemModel model_;
  CDragDropListCtrl list_;
  std::vector<std::vector<int>> begins_;
  std::vector<int> drops_;
};

TEST_F(DragDropListTest, DraggingTwoSelectedRowsReportsBeginAndDropPosition) {
  Select({1, 2});
  QTest::mousePress(Port(), Qt::LeftButton, {}, RowPoint(1));
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2})) << "a press on a selected row keeps the selection";
  QTest::mouseMove(Port(), RowPoint(3));
  ASSERT_TRUE(list_.Dragging());
  ASSERT_EQ(begins_.size(), 1u);
  EXPECT_EQ(begins_[0], (std::vector<int>{1, 2}));
  // The image is made of the two rows, the hot spot where the press was.
  EXPECT_EQ(list_.DragPixmap().deviceIndependentSize().toSize(), QSize(240, 40));
  EXPECT_EQ(list_.HotSpot(), RowPoint(1) - QPoint(0, 20));
  EXPECT_GT(list_.DragPixmap().toImage().pixelColor(5, 5).alpha(), 0) << "the rows are drawn into it";
  auto* image = list_.findChild<QLabel*>("dragImage");
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(image->isVisible());
  // The row under the cursor is marked, whatever the horizontal position.
  QTest::mouseMove(Port(), RowPoint(6, 250));
  EXPECT_EQ(list_.Target().DropIndex(), 6);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2, 6}));
  QTest::mouseMove(Port(), QPoint(-500, RowPoint(5).y()));
  EXPECT_EQ(list_.Target().DropIndex(), 5);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2, 5}));
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, QPoint(-500, RowPoint(5).y()));
  EXPECT_FALSE(list_.Dragging());
  EXPECT_EQ(list_.findChild<QLabel*>("dragImage"), nullptr);
  EXPECT_EQ(drops_, (std::vector<int>{6}));
  // The marked row gets its bit back; the release selects nothing else.
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2}));
}

TEST_F(DragDropListTest, PressOnAnUnselectedRowDragsThatRow) {
  Select({4});
  QTest::mousePress(Port(), Qt::LeftButton, {}, RowPoint(7));
  QTest::mouseMove(Port(), RowPoint(8));
  QTest::mouseMove(Port(), RowPoint(2));
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, RowPoint(2));
  ASSERT_EQ(begins_.size(), 1u);
  EXPECT_EQ(begins_[0], (std::vector<int>{7}));
  EXPECT_EQ(drops_, (std::vector<int>{3}));
}

TEST_F(DragDropListTest, SmallMovesAreAClickNotADrag) {
  Select({1, 2});
  QTest::mousePress(Port(), Qt::LeftButton, {}, RowPoint(2));
  QTest::mouseMove(Port(), RowPoint(2) + QPoint(1, 1));
  EXPECT_FALSE(list_.Dragging());
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, RowPoint(2) + QPoint(1, 1));
  EXPECT_TRUE(begins_.empty());
  EXPECT_TRUE(drops_.empty());
  EXPECT_EQ(SelectedRows(), (std::vector<int>{2}));
}

TEST_F(DragDropListTest, ReleaseWithoutTouchingARowUsesTheLastDropIndex) {
  Select({3});
  // The first drag is released without touching a row.
  list_.BeginDrag(RowPoint(3));
  list_.EndDrag();
  Select({3});
  list_.BeginDrag(RowPoint(3));
  list_.DragMoveTo(RowPoint(8));
  list_.EndDrag();
  Select({3});
  list_.BeginDrag(RowPoint(3));
  list_.EndDrag();
  EXPECT_EQ(drops_, (std::vector<int>{0, 9, 9}));
}

TEST_F(DragDropListTest, DropOnTheLastRowGivesTheRowCount) {
  Select({0});
  list_.scrollToBottom();
  list_.BeginDrag(RowPoint(0));
  list_.DragMoveTo(RowPoint(kRows - 1));
  EXPECT_EQ(list_.Target().DropIndex(), kRows - 1);
  list_.EndDrag();
  EXPECT_EQ(drops_, (std::vector<int>{kRows}));
}

TEST_F(DragDropListTest, HoldingBelowTheRowsScrollsOneLinePerTickToTheEnd) {
  Select({0});
  list_.BeginDrag(RowPoint(0));
  list_.DragMoveTo(RowPoint(9));
  EXPECT_FALSE(list_.ScrollTimerActive());
  list_.DragMoveTo(QPoint(40, list_.viewport()->height() + 5));
  EXPECT_TRUE(list_.ScrollTimerActive());
  EXPECT_EQ(list_.Scrolling(), ScrollDirection::kDown);
  EXPECT_EQ(list_.Target().DropIndex(), 9) << "below the rows nothing new is marked";
  QScrollBar* bar = list_.verticalScrollBar();
  for (int tick = 1; tick <= 40; ++tick) {
    const int before = bar->value();
    list_.ScrollTick();
    EXPECT_EQ(list_.Target().DropIndex(), std::min(9 + tick, kRows - 1)) << tick;
    EXPECT_EQ(bar->value(), std::min(before + 1, bar->maximum())) << tick;
  }
  // Back among the rows the timer stops; above them it runs upwards.
  list_.DragMoveTo(RowPoint(kRows - 3));
  EXPECT_FALSE(list_.ScrollTimerActive());
  EXPECT_EQ(list_.Scrolling(), ScrollDirection::kNone);
  list_.DragMoveTo(QPoint(40, -3));
  EXPECT_EQ(list_.Scrolling(), ScrollDirection::kUp);
  const int top = bar->value();
  list_.ScrollTick();
  EXPECT_EQ(bar->value(), top - 1);
  EXPECT_EQ(list_.Target().DropIndex(), kRows - 4);
  list_.EndDrag();
  EXPECT_FALSE(list_.ScrollTimerActive());
  EXPECT_EQ(drops_, (std::vector<int>{kRows - 3}));
}

TEST_F(DragDropListTest, ScrollTimerRunsEveryTenMillisecondsOnlyDuringADrag) {
  EXPECT_EQ(CDragDropListCtrl::kScrollInterval, 10);
  list_.DragMoveTo(QPoint(40, list_.viewport()->height() + 5));
  EXPECT_FALSE(list_.ScrollTimerActive()) << "no drag, no scrolling";
  Select({0});
  list_.BeginDrag(RowPoint(0));
  list_.DragMoveTo(QPoint(40, list_.viewport()->height() + 5));
  ASSERT_TRUE(list_.ScrollTimerActive());
  // A tick moves the target one row; nothing waits on the clock.
  const int before = list_.Target().DropIndex();
  list_.ScrollTick();
  EXPECT_EQ(list_.Target().DropIndex(), before + 1);
  list_.EndDrag();
  EXPECT_FALSE(list_.ScrollTimerActive());
}

TEST_F(DragDropListTest, BeginDragWithNothingSelectedCallsTheOwnerButStartsNoDrag) {
  list_.selectionModel()->clearSelection();
  list_.BeginDrag(RowPoint(2));
  ASSERT_EQ(begins_.size(), 1u);
  EXPECT_TRUE(begins_[0].empty());
  EXPECT_FALSE(list_.Dragging());
  list_.EndDrag();
  EXPECT_TRUE(drops_.empty());
}

TEST_F(DragDropListTest, SingleSelectionComesBackAfterTheDrop) {
  list_.setSelectionMode(QAbstractItemView::SingleSelection);
  Select({2});
  QTest::mousePress(Port(), Qt::LeftButton, {}, RowPoint(2));
  QTest::mouseMove(Port(), RowPoint(5));
  ASSERT_TRUE(list_.Dragging());
  EXPECT_EQ(list_.selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{2, 5})) << "the target is marked beside the dragged row";
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, RowPoint(5));
  EXPECT_EQ(list_.selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(drops_, (std::vector<int>{6}));
}

TEST_F(DragDropListTest, TheDragImageHoldsOnlyTheVisibleRows) {
  // Rows far apart would otherwise ask for an image as tall as the list.
  Select({0, kRows - 1});
  list_.BeginDrag(RowPoint(0));
  ASSERT_TRUE(list_.Dragging());
  EXPECT_EQ(list_.DragPixmap().deviceIndependentSize().toSize(), QSize(240, 20));
  list_.EndDrag();
  // With no selected row on screen the drag still runs, without a picture.
  Select({kRows - 1});
  list_.BeginDrag(RowPoint(0));
  EXPECT_TRUE(list_.Dragging());
  EXPECT_TRUE(list_.DragPixmap().isNull());
  list_.DragMoveTo(RowPoint(4));
  list_.EndDrag();
  EXPECT_EQ(drops_, (std::vector<int>{0, 5}));
}

TEST_F(DragDropListTest, AMoveWithoutTheButtonEndsALostDrag) {
  Select({2});
  QTest::mousePress(Port(), Qt::LeftButton, {}, RowPoint(2));
  QTest::mouseMove(Port(), RowPoint(6));
  ASSERT_TRUE(list_.Dragging());
  // The release went to another window; the next move comes without a button.
  QMouseEvent move(QEvent::MouseMove, RowPoint(7), Port()->mapToGlobal(RowPoint(7)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(Port(), &move);
  EXPECT_FALSE(list_.Dragging());
  EXPECT_EQ(drops_, (std::vector<int>{7}));
  EXPECT_EQ(SelectedRows(), (std::vector<int>{2}));
  QTest::mouseRelease(Port(), Qt::LeftButton, {}, RowPoint(7));
  EXPECT_EQ(drops_.size(), 1u);
}

}  // namespace
}  // namespace pelagor::guitest
