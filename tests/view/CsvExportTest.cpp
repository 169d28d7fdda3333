// CSV quoting, and File "Export Channel List..." writing the list as shown.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "FakeViewUi.h"
#include "ViewFixture.h"
#include "samples/SampleWorkspaces.h"
#include "view/CsvWriter.h"

namespace pelagor::test {
namespace {

TEST(Csv, QuotesWhatNeedsIt) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"", ""},
      {"Das Erste", "Das Erste"},
      {"News, Weather", "\"News, Weather\""},
      {"Sky \"Cinema\"", "\"Sky \"\"Cinema\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""},
      {"line\nfeed", "\"line\nfeed\""},
      {"Caf\xC3\xA9 'x'; y", "Caf\xC3\xA9 'x'; y"},  // UTF-8, apostrophes and semicolons as they are
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.in), c.out) << c.in;
  EXPECT_EQ(CsvRecord({"a", "b,c", ""}), "a,\"b,c\",\r\n");
  EXPECT_EQ(CsvTable({{"h1", "h2"}, {"1", "\"q\""}}), "h1,h2\r\n1,\"\"\"q\"\"\"\r\n");
}

class Export : public ::testing::Test {
 protected:
  void SetUp() override {
    Workspace ws = SmallWorkspace(1);
    for (int c = 0; c < kMaxChans; ++c) {
      if (!ws.image->ChanInUse(c)) continue;
      uint8_t* name = ws.image->ChanName(c);
      if (std::string(reinterpret_cast<const char*>(name)) == "Sky Cinema") {
        std::memset(name, 0, 25);
        std::memcpy(name, "Sky \"Cinema\", 1", 16);
      }
    }
    view.OnInitialUpdate();
    view.LoadWorkspace(std::move(ws));
  }
  std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  ScratchDir dir;
  FakeViewUi ui;
  CVortanView view{ui};
};

TEST_F(Export, WritesTheShownRowsAndColumns) {
  view.OnFindTextChanged("i");  // Sky Cinema, Rai 1, Kabel Info
  const std::string path = dir.File("list.csv");
  ui.saveAnswers.push_back(path);
  view.OnFileExport();
  ASSERT_EQ(ui.saveRequests.size(), 1u);
  EXPECT_EQ(ui.saveRequests[0].defaultExtension, "csv");
  const std::string text = Read(path);
  EXPECT_EQ(text, view.ChannelListCsv());
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find("\r\n", at);
    ASSERT_NE(end, std::string::npos);
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "No.,Chan No.,Chan Name,Satellite,Freq.,Pol.,CAS,V_PID,A_PID,P_PID,SID,Favorite,Lock,Provider");
  EXPECT_EQ(lines[1].rfind("1,3,\"Sky \"\"Cinema\"\", 1\",", 0), 0u) << lines[1];
  for (int row = 0; row < 3; ++row) {
    std::vector<std::string> cells;
    for (int col = 0; col < kChannelColumns; ++col) cells.push_back(view.ChannelCell(row, col));
    EXPECT_EQ(lines[size_t(row + 1)] + "\r\n", CsvRecord(cells));
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Export, CancelWritesNothingAndAFailureSays) {
  view.OnFileExport();  // the chooser is cancelled
  EXPECT_TRUE(ui.messages.empty());
  ui.saveAnswers.push_back(dir.File("no-such-folder/list.csv"));
  view.OnFileExport();
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"File Save Error !!!"});
}

}  // namespace
}  // namespace pelagor::test
