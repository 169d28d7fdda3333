// Find (the name filter) with the other filters and the commands that act on
// the shown channels, and Move Up / Move Down.

#include <gtest/gtest.h>

#include "FakeViewUi.h"
#include "ViewFixture.h"
#include "db/ImageChecker.h"
#include "samples/SampleWorkspaces.h"
#include "view/RecordText.h"

namespace pelagor::test {
namespace {

using Names = std::vector<std::string>;

TEST(FoldCase, LatinGreekAndCyrillicCapitals) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"Das ERSTE", "das erste"},
      {"\xC3\x84RD \xC3\x9F", "\xC3\xA4rd \xC3\x9F"},                              // Ä -> ä, ß stays
      {"\xCE\x95\xCE\xA1\xCE\xA4", "\xCE\xB5\xCF\x81\xCF\x84"},                    // ΕΡΤ -> ερτ
      {"\xD0\xA0\xD0\xA2\xD0\xA0 \xD0\x81", "\xD1\x80\xD1\x82\xD1\x80 \xD1\x91"},  // РТР Ё
      {"\xC5\x81\xC3\x93"
       "D\xC5\xB9",
       "\xC5\x82\xC3\xB3"
       "d\xC5\xBA"},  // ŁÓDŹ
      {"\xFF"
       "A",
       "\xFF"
       "a"},  // a broken byte stays
  };
  for (const auto& c : cases) EXPECT_EQ(FoldCase(c.in), c.out) << c.in;
}

class FindMove : public ::testing::Test {
 protected:
  void SetUp() override {
    view.OnInitialUpdate();
    view.LoadWorkspace(SmallWorkspace(1));
  }
  void TearDown() override { EXPECT_EQ(CheckImage(view.Image()), ""); }
  Names Shown() const { return FakeViewUi::Column(view, kColName); }
  Names Order() {
    Names out;
    for (int i = 0; i < kMaxChans && view.Image().Order(i) != kNoChan; ++i) {
      const uint16_t c = view.Image().Order(i);
      if (view.Image().ChanWordField(c, chw::kServiceType) == 0)
        out.push_back(ChannelNameText(view.Image().ChanName(c)));
    }
    return out;
  }
  uint16_t Number(const std::string& name) {
    for (int c = 0; c < kMaxChans; ++c) {
      if (view.Image().ChanInUse(c) && ChannelNameText(view.Image().ChanName(c)) == name)
        return view.Image().ChanNumber(c);
    }
    return 0;
  }
  void Select(std::vector<int> rows) { ui.selection[ListId::kChannels] = std::move(rows); }

  FakeViewUi ui;
  CVortanView view{ui};
};

TEST_F(FindMove, FindNarrowsWithTheOtherFilters) {
  const Names all = Shown();
  ASSERT_EQ(all, (Names{"Das Erste HD", "tagesschau24 HD", "Sky Cinema", "Rai 1", "Kabel Info"}));
  view.OnFindTextChanged("hd");
  EXPECT_EQ(Shown(), (Names{"Das Erste HD", "tagesschau24 HD"}));
  EXPECT_EQ(ui.captions[ControlId::kChannelsGroup], "Total 2 channels");
  view.OnFindTextChanged("ERSTE");
  EXPECT_EQ(Shown(), (Names{"Das Erste HD"}));
  view.OnFindTextChanged("a");
  EXPECT_EQ(Shown(), all);
  view.OnSatFilterChanged(1);  // the first channel's satellite: Astra
  EXPECT_EQ(Shown(), (Names{"Das Erste HD", "tagesschau24 HD", "Sky Cinema"}));
  view.OnFindTextChanged("sky");
  EXPECT_EQ(Shown(), (Names{"Sky Cinema"}));
  view.OnSatFilterChanged(0);
  view.OnFavoriteComboChanged(1);  // News: the two ARD channels
  EXPECT_EQ(Shown(), Names{});
  view.OnFindTextChanged("TAGES");
  EXPECT_EQ(Shown(), (Names{"tagesschau24 HD"}));
  view.OnFindTextChanged("");
  EXPECT_EQ(Shown(), (Names{"Das Erste HD", "tagesschau24 HD"}));
  view.OnFavoriteComboChanged(0);
  view.OnFindTextChanged("no such channel");
  EXPECT_EQ(Shown(), Names{});
  EXPECT_EQ(view.RowCount(), 0);
}

TEST_F(FindMove, PasteAndReassignActOnTheFoundChannelsOnly) {
  view.OnFindTextChanged("i");  // Sky Cinema, Rai 1, Kabel Info
  ASSERT_EQ(Shown(), (Names{"Sky Cinema", "Rai 1", "Kabel Info"}));
  Select({2});
  view.OnChannelMenuCommand(ChanMenuItem::kCutChannel);
  Select({0});
  view.OnChannelMenuCommand(ChanMenuItem::kPasteChannel);
  EXPECT_EQ(Shown(), (Names{"Kabel Info", "Sky Cinema", "Rai 1"}));
  // The hidden channels keep their places in the order.
  EXPECT_EQ(Order(), (Names{"Das Erste HD", "tagesschau24 HD", "Kabel Info", "Sky Cinema", "Rai 1"}));

  const uint16_t erste = Number("Das Erste HD");
  const uint16_t tages = Number("tagesschau24 HD");
  view.OnChannelMenuCommand(ChanMenuItem::kReassignChannelNo);
  EXPECT_EQ(FakeViewUi::Column(view, kColChanNo), (Names{"1", "2", "3"}));
  EXPECT_EQ(Number("Das Erste HD"), erste);
  EXPECT_EQ(Number("tagesschau24 HD"), tages);
}

TEST_F(FindMove, MoveUpAndDown) {
  // Rows of the TV list before the move, as indices into the first list.
  const Names first = Shown();
  const struct {
    std::vector<int> selected;
    int direction;
    std::vector<int> order;
    std::vector<int> selectedAfter;
  } cases[] = {
      {{1}, -1, {1, 0, 2, 3, 4}, {0}},       {{1, 3}, -1, {1, 0, 3, 2, 4}, {0, 2}},
      {{0, 2}, -1, {0, 2, 1, 3, 4}, {0, 1}},  // the top run stays
      {{3, 4}, -1, {0, 1, 3, 4, 2}, {2, 3}}, {{0, 1}, +1, {2, 0, 1, 3, 4}, {1, 2}},
      {{1, 3}, +1, {0, 2, 1, 4, 3}, {2, 4}}, {{2, 4}, +1, {0, 1, 3, 2, 4}, {3, 4}},  // the bottom run stays
      {{0}, -1, {0, 1, 2, 3, 4}, {0}},                                               // nothing to do
      {{4}, +1, {0, 1, 2, 3, 4}, {4}},
  };
  for (const auto& c : cases) {
    SetUp();
    ASSERT_EQ(Shown(), first);
    Select(c.selected);
    const bool can = c.order != std::vector<int>{0, 1, 2, 3, 4};
    EXPECT_EQ(view.IsCommandEnabled(c.direction < 0 ? kIdMoveUp : kIdMoveDown), can);
    if (c.direction < 0) {
      view.OnMoveUp();
    } else {
      view.OnMoveDown();
    }
    Names want;
    for (int i : c.order) want.push_back(first[size_t(i)]);
    EXPECT_EQ(Shown(), want) << c.selected.front() << " " << c.direction;
    EXPECT_EQ(Order(), want);
    EXPECT_EQ(ui.selection[ListId::kChannels], c.selectedAfter);
    EXPECT_EQ(view.Modified(), can);
    EXPECT_EQ(CheckImage(view.Image()), "");
    if (can) {
      view.OnEditUndo();
      EXPECT_EQ(Shown(), first);
    }
  }
}

TEST_F(FindMove, MoveAmongTheFoundRowsKeepsACutForLaterAndHiddenPlaces) {
  Select({3});
  view.OnChannelMenuCommand(ChanMenuItem::kCutChannel);  // Rai 1
  view.OnFindTextChanged("HD");
  Select({0});
  view.OnMoveDown();
  EXPECT_EQ(Shown(), (Names{"tagesschau24 HD", "Das Erste HD"}));
  EXPECT_EQ(Order(), (Names{"tagesschau24 HD", "Das Erste HD", "Sky Cinema", "Rai 1", "Kabel Info"}));
  view.OnFindTextChanged("");
  Select({0});
  view.OnChannelMenuCommand(ChanMenuItem::kPasteChannel);
  EXPECT_EQ(Shown(), (Names{"Rai 1", "tagesschau24 HD", "Das Erste HD", "Sky Cinema", "Kabel Info"}));
}

}  // namespace
}  // namespace pelagor::test
