// The drop-target rules of the channel list's drag and drop: marking,
// selection bits given back, auto-scroll steps and the drop position.

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "view/DropTarget.h"

namespace pelagor::test {
namespace {

// A list of rows with their selection bits, "1" selected, "0" not.
class Rows : public DropRows {
 public:
  explicit Rows(std::string bits) : bits_(std::move(bits)) {}
  int RowCount() const override { return int(bits_.size()); }
  bool IsRowSelected(int row) const override { return bits_.at(size_t(row)) == '1'; }
  void SetRowSelected(int row, bool selected) override { bits_.at(size_t(row)) = selected ? '1' : '0'; }
  const std::string& Bits() const { return bits_; }

 private:
  std::string bits_;
};

// One step of a drag: 'm' mark row n, 'u'/'d' one scroll step up/down,
// 'b' begin a drag, 'r' release (n unused).
struct Op {
  char what;
  int n = 0;
};

struct DropCase {
  const char* label;
  const char* selection;  // before the drag
  std::vector<Op> ops;    // the last op is a release
  const char* during;     // selection bits just before the last release
  const char* after;      // after the release
  int position;           // drop position returned by the release
  int dropIndex;          // drop index kept afterwards
};

class DropTargetCases : public testing::TestWithParam<DropCase> {};

TEST_P(DropTargetCases, MarkStepAndRelease) {
  const DropCase& c = GetParam();
  Rows rows(c.selection);
  DropTarget t;
  int position = -99;
  std::string during;
  for (const Op& op : c.ops) {
    switch (op.what) {
      case 'b': t.BeginDrag(); break;
      case 'm': static_cast<void>(t.Mark(rows, op.n)); break;
      case 'u': static_cast<void>(t.Step(rows, ScrollDirection::kUp)); break;
      case 'd': static_cast<void>(t.Step(rows, ScrollDirection::kDown)); break;
      case 'r':
        during = rows.Bits();
        position = t.Release(rows);
        break;
      default: FAIL() << "bad op";
    }
  }
  EXPECT_EQ(during, c.during);
  EXPECT_EQ(rows.Bits(), c.after);
  EXPECT_EQ(position, c.position);
  EXPECT_EQ(t.DropIndex(), c.dropIndex);
  EXPECT_EQ(t.HighlightedRow(), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Drag, DropTargetCases,
    testing::Values(
        DropCase{"first drag never touching a row drops at 0", "01100", {{'b'}, {'r'}}, "01100", "01100", 0, -1},
        DropCase{"target in the middle: the row after it", "11000", {{'b'}, {'m', 3}, {'r'}}, "11010", "11000", 4, 3},
        DropCase{"target on the first row", "00110", {{'b'}, {'m', 0}, {'r'}}, "10110", "00110", 1, 0},
        DropCase{"target on the last row: the row count", "11000", {{'b'}, {'m', 4}, {'r'}}, "11001", "11000", 5, 4},
        DropCase{"marking moves: earlier rows get their bit back",
                 "10000",
                 {{'b'}, {'m', 2}, {'m', 3}, {'m', 1}, {'r'}},
                 "11000",
                 "10000",
                 2,
                 1},
        DropCase{"a selected (dragged) row stays selected",
                 "01100",
                 {{'b'}, {'m', 1}, {'m', 3}, {'r'}},
                 "01110",
                 "01100",
                 4,
                 3},
        DropCase{"the same row twice keeps its own bit",
                 "00000",
                 {{'b'}, {'m', 2}, {'m', 2}, {'r'}},
                 "00100",
                 "00000",
                 3,
                 2},
        DropCase{"rows outside the list change nothing",
                 "10000",
                 {{'b'}, {'m', 2}, {'m', -1}, {'m', 5}, {'m', 99}, {'r'}},
                 "10100",
                 "10000",
                 3,
                 2},
        DropCase{"scroll down moves the target one row each step",
                 "10000",
                 {{'b'}, {'m', 1}, {'d'}, {'d'}, {'r'}},
                 "10010",
                 "10000",
                 4,
                 3},
        DropCase{"scroll down stops at the last row",
                 "10000",
                 {{'b'}, {'m', 2}, {'d'}, {'d'}, {'d'}, {'d'}, {'r'}},
                 "10001",
                 "10000",
                 5,
                 4},
        DropCase{"scroll up stops at the first row",
                 "00001",
                 {{'b'}, {'m', 2}, {'u'}, {'u'}, {'u'}, {'r'}},
                 "10001",
                 "00001",
                 1,
                 0},
        DropCase{"scroll down before any row was touched starts at row 0",
                 "00010",
                 {{'b'}, {'d'}, {'r'}},
                 "10010",
                 "00010",
                 1,
                 0},
        DropCase{"scroll up before any row was touched does nothing",
                 "00010",
                 {{'b'}, {'u'}, {'r'}},
                 "00010",
                 "00010",
                 0,
                 -1},
        DropCase{"a second drag without a touch drops where the first did",
                 "01000",
                 {{'b'}, {'m', 2}, {'r'}, {'b'}, {'r'}},
                 "01000",
                 "01000",
                 3,
                 2},
        DropCase{"the second drag does not give back the first drag's row",
                 "01000",
                 {{'b'}, {'m', 2}, {'r'}, {'b'}, {'m', 0}, {'r'}},
                 "11000",
                 "01000",
                 1,
                 0}),
    [](const testing::TestParamInfo<DropCase>& info) {
      std::string name;
      for (const char* p = info.param.label; *p != 0; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
      return name;
    });

TEST(DropTarget, DropPositionRule) {
  struct {
    int dropIndex, rows, expected;
  } cases[] = {
      {-1, 10, 0},  {-2, 10, 10}, {0, 10, 1}, {8, 10, 9}, {9, 10, 10}, {10, 10, 10},
      {50, 10, 10}, {-1, 0, 0},   {3, 0, 0},  {0, 1, 1},  {-5, 3, 3},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DropTarget::DropPosition(c.dropIndex, c.rows), c.expected)
        << "drop index " << c.dropIndex << ", " << c.rows << " rows";
}

TEST(DropTarget, ScrollDirectionFromTheVisibleBand) {
  struct {
    int y;
    ScrollDirection expected;
  } cases[] = {
      {-100, ScrollDirection::kUp},   {19, ScrollDirection::kUp},    {20, ScrollDirection::kNone},
      {150, ScrollDirection::kNone},  {299, ScrollDirection::kNone}, {300, ScrollDirection::kDown},
      {5000, ScrollDirection::kDown},
  };
  for (const auto& c : cases) EXPECT_EQ(DropTarget::ScrollFor(c.y, 20, 300), c.expected) << "y " << c.y;
}

TEST(DropTarget, RowsShrunkSinceMarkingAreNotTouched) {
  // The list was rebuilt with fewer rows while a row was marked: the old
  // row is gone, so nothing is written past the end.
  Rows before("00000");
  DropTarget t;
  t.BeginDrag();
  ASSERT_TRUE(t.Mark(before, 4));
  Rows after("000");
  EXPECT_EQ(t.Release(after), 3);
  EXPECT_EQ(after.Bits(), "000");
}

}  // namespace
}  // namespace pelagor::test
