// Undo and Redo: the history on its own, then through the view over a mixed
// run of commands, each state compared byte for byte on the way back and
// forward again, with the image checker after every step.

#include <gtest/gtest.h>

#include <functional>

#include "FakeViewUi.h"
#include "ViewFixture.h"
#include "db/ImageChecker.h"
#include "files/DownloadImage.h"
#include "samples/SampleWorkspaces.h"
#include "view/CAddSatDlg.h"
#include "view/CFavNameDlg.h"
#include "view/UndoHistory.h"

namespace pelagor::test {
namespace {

using Bytes = std::vector<uint8_t>;

SatCatalogue CatalogueOf(int entries) {
  SatCatalogue c;
  c.count = uint32_t(entries);
  for (int i = 0; i < entries; ++i) c.entries[size_t(i)].position = uint16_t(10 * i);
  return c;
}

TEST(UndoHistory, StepsBackAndForthThroughEveryState) {
  // Changes at the start, the end, spread out, growing and shrinking.
  Bytes base(5000, 7);
  std::vector<Bytes> states{base};
  Bytes s = base;
  s[0] = 1;
  states.push_back(s);
  s[4999] = 9;
  for (size_t i = 100; i < 4000; i += 37) s[i] ^= 0x5A;
  states.push_back(s);
  s.resize(5100, 3);
  states.push_back(s);
  s.resize(10);
  states.push_back(s);
  states.push_back(Bytes(6000, 0));

  UndoHistory h;
  h.Reset(states[0], CatalogueOf(1), true);
  for (size_t i = 1; i < states.size(); ++i) EXPECT_TRUE(h.Commit(states[i], CatalogueOf(1)));
  EXPECT_FALSE(h.Commit(states.back(), CatalogueOf(1))) << "nothing changed, no step";
  EXPECT_EQ(h.Levels(), states.size() - 1);
  for (size_t i = states.size() - 1; i-- > 0;) {
    ASSERT_TRUE(h.Undo());
    EXPECT_EQ(h.State(), states[i]) << i;
  }
  EXPECT_FALSE(h.Undo());
  EXPECT_TRUE(h.AtSaved());
  for (size_t i = 1; i < states.size(); ++i) {
    ASSERT_TRUE(h.Redo());
    EXPECT_EQ(h.State(), states[i]) << i;
  }
  EXPECT_FALSE(h.Redo());
}

TEST(UndoHistory, CatalogueTravelsWithItsStep) {
  UndoHistory h;
  h.Reset(Bytes(10, 0), CatalogueOf(1), true);
  EXPECT_TRUE(h.Commit(Bytes(10, 0), CatalogueOf(2)));  // only the catalogue changed
  EXPECT_TRUE(h.Commit(Bytes(10, 1), CatalogueOf(2)));
  static_cast<void>(h.Undo());
  EXPECT_EQ(h.Catalogue().count, 2u);
  static_cast<void>(h.Undo());
  EXPECT_EQ(h.Catalogue().count, 1u);
  static_cast<void>(h.Redo());
  EXPECT_EQ(h.Catalogue().count, 2u);
  EXPECT_EQ(h.Catalogue().entries[1].position, 10);
}

TEST(UndoHistory, NewEditEndsRedoAndTheSavedStateOnIt) {
  UndoHistory h;
  h.Reset(Bytes(10, 0), CatalogueOf(0), false);
  EXPECT_FALSE(h.AtSaved());
  static_cast<void>(h.Commit(Bytes(10, 1), CatalogueOf(0)));
  static_cast<void>(h.Commit(Bytes(10, 2), CatalogueOf(0)));
  h.MarkSaved();
  static_cast<void>(h.Undo());
  EXPECT_FALSE(h.AtSaved());
  EXPECT_TRUE(h.CanRedo());
  static_cast<void>(h.Commit(Bytes(10, 3), CatalogueOf(0)));
  EXPECT_FALSE(h.CanRedo());
  EXPECT_FALSE(h.AtSaved());
  static_cast<void>(h.Undo());
  EXPECT_EQ(h.State(), Bytes(10, 1));
  EXPECT_FALSE(h.AtSaved()) << "the saved state was on the dropped branch";
}

TEST(UndoHistory, OldestStepsGoPastTheLevelAndByteLimits) {
  UndoHistory byLevels(3);
  byLevels.Reset(Bytes(100, 0), CatalogueOf(0), true);
  for (int i = 1; i <= 5; ++i) static_cast<void>(byLevels.Commit(Bytes(100, uint8_t(i)), CatalogueOf(0)));
  EXPECT_EQ(byLevels.Levels(), 3u);
  while (byLevels.Undo()) {
  }
  EXPECT_EQ(byLevels.State(), Bytes(100, 2));
  EXPECT_FALSE(byLevels.AtSaved()) << "the saved state has been dropped";

  UndoHistory byBytes(100, 40000 + sizeof(SatCatalogue));
  byBytes.Reset(Bytes(10000, 0), CatalogueOf(0), true);
  for (int i = 1; i <= 5; ++i) static_cast<void>(byBytes.Commit(Bytes(10000, uint8_t(i)), CatalogueOf(0)));
  EXPECT_LE(byBytes.MemoryBytes(), 40000 + sizeof(SatCatalogue) + sizeof(UndoHistory));
  EXPECT_GE(byBytes.Levels(), 1u);
  EXPECT_LT(byBytes.Levels(), 5u);
  EXPECT_EQ(byBytes.State(), Bytes(10000, 5));
}

TEST(UndoHistory, StepsHoldOnlyTheChangedBytes) {
  UndoHistory h;
  Bytes s(700000, 0);
  h.Reset(s, CatalogueOf(0), true);
  s[1000] = 1;
  s[500000] = 2;
  static_cast<void>(h.Commit(s, CatalogueOf(0)));
  EXPECT_LT(h.StepBytes(), 1000u);
}

// ---- Through the view ----

std::function<DialogAnswer(DialogModel)> SatAnswer(std::string name, int position) {
  return [=](DialogModel m) {
    CAddSatDlg* d = std::get<CAddSatDlg*>(m);
    d->name = name;
    d->position = position;
    return DialogAnswer::kOk;
  };
}

class ViewUndo : public ::testing::Test {
 protected:
  void SetUp() override {
    view.SetSideFileFolder(dir.Path());
    view.OnInitialUpdate();
    path = dir.File("undo.bin");
    ASSERT_EQ(WriteDownloadImage(SmallWorkspace(1), path), 1);
    ASSERT_TRUE(view.OpenFile(path));
  }
  struct Snapshot {
    Bytes image;
    uint32_t catalogueCount;
    std::vector<CatalogueEntry> entries;
    std::string favourite1;
  };
  Snapshot Take() const {
    const Workspace& ws = view.GetWorkspace();
    Snapshot s{Bytes(ws.image->Data(), ws.image->Data() + kImageSize), ws.catalogue.count,
               std::vector<CatalogueEntry>(ws.catalogue.entries.begin(), ws.catalogue.entries.end()),
               view.Channels().FavoriteNames()[0]};
    return s;
  }
  void ExpectState(const Snapshot& want, const std::string& step) {
    const Snapshot now = Take();
    EXPECT_TRUE(now.image == want.image) << step;
    EXPECT_EQ(now.catalogueCount, want.catalogueCount) << step;
    EXPECT_TRUE(now.entries == want.entries) << step;
    EXPECT_EQ(now.favourite1, want.favourite1) << step;
    EXPECT_EQ(CheckImage(view.Image()), "") << step;
  }
  void Select(std::vector<int> rows) { ui.selection[ListId::kChannels] = std::move(rows); }

  ScratchDir dir;
  std::string path;
  FakeViewUi ui;
  CVortanView view{ui};
};

TEST_F(ViewUndo, MixedCommandsUndoAndRedoToIdenticalBytes) {
  struct Step {
    std::string name;
    std::function<void()> run;
  };
  const std::vector<Step> steps{
      {"lock",
       [&] {
         Select({0, 1});
         view.OnChannelMenuCommand(ChanMenuItem::kLock);
       }},
      {"favourite 2",
       [&] {
         Select({2});
         view.OnChannelMenuCommand(ChanMenuItem::kFav2);
       }},
      {"sort by name", [&] { view.OnChannelMenuCommand(ChanMenuItem::kSortByName); }},
      {"cut and paste",
       [&] {
         Select({0});
         view.OnChannelMenuCommand(ChanMenuItem::kCutChannel);
         Select({3});
         view.OnChannelMenuCommand(ChanMenuItem::kPasteChannel);
       }},
      {"drop",
       [&] {
         Select({3});
         view.OnListBeginDrag(ListId::kChannels);
         view.OnListDrop(ListId::kChannels, 1);
       }},
      {"reassign", [&] { view.OnChannelMenuCommand(ChanMenuItem::kReassignChannelNo); }},
      {"delete channel",
       [&] {
         Select({1});
         view.OnChannelMenuCommand(ChanMenuItem::kDeleteChannel);
       }},
      {"delete TP",
       [&] {
         ui.selection[ListId::kTransponders] = {0};
         view.OnTpMenuCommand(TpMenuItem::kDeleteTp);
       }},
      {"add satellite",
       [&] {
         ui.dialogAnswers.push_back(SatAnswer("Eutelsat", 70));
         view.OnSatAdd();
       }},
      {"favourite name",
       [&] {
         view.OnFavoriteComboChanged(1);
         ui.dialogAnswers.push_back([](DialogModel m) {
           std::get<CFavNameDlg*>(m)->name = "Films";
           return DialogAnswer::kOk;
         });
         view.OnFavoriteButton();
         view.OnFavoriteComboChanged(0);
       }},
      {"delete satellite", [&] { view.OnSatDelete(); }},
  };
  std::vector<Snapshot> states{Take()};
  EXPECT_FALSE(view.CanUndo());
  for (const Step& s : steps) {
    const size_t levels = view.History().UndoLevels();
    s.run();
    EXPECT_EQ(view.History().UndoLevels(), levels + 1) << s.name << ": one step per command";
    EXPECT_EQ(CheckImage(view.Image()), "") << s.name;
    states.push_back(Take());
    EXPECT_FALSE(states.back().image == states[states.size() - 2].image &&
                 states.back().entries == states[states.size() - 2].entries &&
                 states.back().favourite1 == states[states.size() - 2].favourite1)
        << s.name << " changed nothing";
  }
  EXPECT_TRUE(view.IsCommandEnabled(kIdEditUndo));
  EXPECT_FALSE(view.IsCommandEnabled(kIdEditRedo));
  for (size_t i = steps.size(); i-- > 0;) {
    view.OnEditUndo();
    ExpectState(states[i], "undo " + steps[i].name);
    EXPECT_EQ(view.Modified(), i != 0);
  }
  EXPECT_FALSE(view.CanUndo());
  EXPECT_EQ(ui.title.find(" *"), std::string::npos) << ui.title;
  for (size_t i = 0; i < steps.size(); ++i) {
    view.OnEditRedo();
    ExpectState(states[i + 1], "redo " + steps[i].name);
    EXPECT_TRUE(view.Modified());
  }
  EXPECT_FALSE(view.CanRedo());
  EXPECT_NE(ui.title.find(" *"), std::string::npos) << ui.title;
}

TEST_F(ViewUndo, SaveKeepsTheHistoryAndANewEditEndsRedo) {
  Select({0});
  view.OnChannelMenuCommand(ChanMenuItem::kLock);
  const Snapshot locked = Take();
  view.OnFileSave();
  EXPECT_FALSE(view.Modified());
  EXPECT_TRUE(view.CanUndo());
  view.OnEditUndo();
  EXPECT_TRUE(view.Modified()) << "the file holds the locked channel";
  view.OnEditRedo();
  ExpectState(locked, "redo to the saved state");
  EXPECT_FALSE(view.Modified());
  EXPECT_EQ(ui.title.find(" *"), std::string::npos) << ui.title;

  view.OnEditUndo();
  Select({1});
  view.OnChannelMenuCommand(ChanMenuItem::kLock);
  EXPECT_FALSE(view.CanRedo());
  view.OnEditUndo();
  EXPECT_TRUE(view.Modified()) << "the saved state is no longer reachable";
  EXPECT_FALSE(view.CanUndo());
}

TEST_F(ViewUndo, NothingToUndoAfterOpenAndCommandsThatChangeNothing) {
  view.OnChannelMenuCommand(ChanMenuItem::kCutChannel);
  view.OnServiceTypeButton(ServiceType::kRadio);
  view.OnServiceTypeButton(ServiceType::kTv);
  EXPECT_FALSE(view.CanUndo());
  EXPECT_FALSE(view.IsCommandEnabled(kIdEditUndo));
  const Snapshot before = Take();
  view.OnEditUndo();
  ExpectState(before, "undo with nothing to undo");
  EXPECT_FALSE(view.Modified());
}

TEST_F(ViewUndo, UploadIntoTheWorkspaceIsOneStep) {
  const Snapshot before = Take();
  ScratchDir other;
  const std::string file = other.File("full.bin");
  Workspace full = FullWorkspace(1);
  ASSERT_EQ(WriteDownloadImage(full, file), 1);
  std::vector<uint8_t> bytes;
  {
    std::ifstream in(file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  ASSERT_TRUE(view.LoadReceivedImage(bytes));
  EXPECT_EQ(view.RowCount() > 100, true);
  view.OnEditUndo();
  ExpectState(before, "undo upload");
  EXPECT_LT(view.RowCount(), 10);
}

}  // namespace
}  // namespace pelagor::test
