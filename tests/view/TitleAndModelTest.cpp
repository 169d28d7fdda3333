#include "view/ModelSelectDlg.h"
#include "view/WindowTitle.h"

#include <gtest/gtest.h>

using namespace pelagor;

TEST(WindowTitle, EveryStateOfTheWorkspace) {
  struct Case {
    TitleState state;
    const char* title;
  };
  const Case cases[] = {
      {{false, false, false, "", kNoModel}, "Pelagor - No File"},
      {{true, false, true, "C:\\x\\a.bin", 1}, "Pelagor - New Channel List *"},
      {{true, true, false, "C:\\lists\\astra.bin", 1}, "[V3920HD] astra.bin"},
      {{true, true, true, "/home/u/lists/astra.bin", 3}, "[VM3920HD] astra.bin *"},
      {{true, true, false, "plain.bin", 5}, "[V5506HD] Pelagor - plain.bin"},
      {{true, true, false, "D:\\t.bin", 4}, "t.bin"},
      {{true, true, true, "D:\\t.bin", kNoModel}, "t.bin *"},
      {{true, true, false, "x\\", 8}, "[M4406HD] Pelagor - x\\"},  // the last character is not searched
  };
  for (const Case& c : cases) EXPECT_EQ(MakeWindowTitle(c.state), c.title) << c.state.path;
}

TEST(ModelSelectDlg, PositionsAndPreselection) {
  const ModelId models[] = {7, 5, 6, 1, 2, 3};
  for (int p = 0; p < ModelSelectDlg::kPositions; ++p) EXPECT_EQ(ModelSelectDlg::ModelAt(p), models[p]);
  EXPECT_EQ(ModelSelectDlg::Label(5), "VM39.20HD");
  EXPECT_FALSE(ModelSelectDlg::Enabled(2));
  EXPECT_TRUE(ModelSelectDlg::Enabled(0));
  const int pre[] = {0, 3, 4, 5, 0, 1, 2, 0, 0};  // by model 0..8
  for (ModelId m = 0; m <= 8; ++m) EXPECT_EQ(ModelSelectDlg::PreselectionFor(m), pre[m]) << m;
  EXPECT_TRUE(ModelSelectDlg::SkippedFor(8));
  EXPECT_FALSE(ModelSelectDlg::SkippedFor(7));
}
