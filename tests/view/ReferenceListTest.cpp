// Reference lists: the three matching passes over tables of cases, what an
// application takes over, the import of missing channels up to each limit,
// and both commands through the view (one undo step, byte for byte back).
// The image checker runs after every change.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>

#include "FakeViewUi.h"
#include "ViewFixture.h"
#include "db/DbOps.h"
#include "db/ImageChecker.h"
#include "files/DownloadImage.h"
#include "files/WorkspaceLoad.h"
#include "samples/SampleWorkspaces.h"
#include "samples/WorkspaceBuilder.h"
#include "view/ChannelNameCodec.h"
#include "view/CsvReader.h"
#include "view/ReferenceDlgs.h"
#include "view/ReferenceList.h"

namespace pelagor::test {
namespace {

// Satellites the cases use: name and orbital position.
struct SatSpec {
  const char* name;
  uint16_t position;
};
constexpr SatSpec kSats[] = {
    {"ASTRA 1", 192}, {"HOTBIRD", 130}, {"ASTRA 1", 193}, {"ASTRA 1", 195}, {"EUTELSAT 9", 90},
};
enum { kAstra, kHotbird, kAstraNear, kAstraFar, kEutelsat };

struct Svc {
  std::string name;
  int sat = kAstra;
  uint16_t freq = 11362;
  int pol = 1;
  uint16_t sid = 1;
  int type = 0;
  uint16_t number = kNoChanNumber;
  bool locked = false;
  uint8_t fav = 0;
};

Workspace Build(const std::vector<Svc>& svcs, const std::vector<std::string>& favNames = {}) {
  ::pelagor::WorkspaceBuilder b(1, false);
  std::map<int, int> sats;
  std::map<std::tuple<int, int, int>, int> tps;
  for (size_t k = 0; k < favNames.size(); ++k) b.SetFavouriteName(int(k), favNames[k]);
  for (const Svc& s : svcs) {
    if (!sats.count(s.sat)) sats[s.sat] = b.AddSatellite(kSats[s.sat].name, kSats[s.sat].position);
    const auto key = std::make_tuple(s.sat, int(s.freq), s.pol);
    if (!tps.count(key)) tps[key] = b.AddTp(sats[s.sat], s.freq, 27500, s.pol, 0x03);
    ChannelFields f;
    f.name = s.name;
    f.type = s.type;
    f.sid = s.sid;
    f.videoPid = s.type == 0 ? uint16_t(100 + s.sid % 100) : kNoPid;
    f.audioPid = uint16_t(200 + s.sid % 100);
    f.locked = s.locked;
    f.favourites = s.fav;
    f.number = s.number;
    EXPECT_GE(b.AddChannel(tps[key], f), 0);
  }
  return b.Take();
}

std::vector<Svc> Base() {
  return {
      {"One", kAstra, 11362, 1, 101, 0, 1, false, 0x01},         {"Two", kAstra, 11362, 1, 102, 0, 2, true, 0x03},
      {"Three", kAstra, 11494, 1, 103, 0, 3, false, 0},          {"Four", kAstra, 12603, 2, 104, 0, 4, false, 0x02},
      {"Radio One", kHotbird, 10992, 2, 105, 1, 5, false, 0x01},
  };
}

std::vector<std::string> OrderNames(const Workspace& ws) {
  std::vector<std::string> out;
  for (const ListChannel& c : ListFromWorkspace(ws).channels) out.push_back(c.name);
  return out;
}

std::vector<std::string> NamesOf(const std::vector<ReportLine>& lines) {
  std::vector<std::string> out;
  for (const ReportLine& l : lines) out.push_back(l.name);
  return out;
}

Workspace Reloaded(const Workspace& ws, ModelId model) {
  Workspace copy = ws;
  copy.model = model;
  const std::vector<uint8_t> bytes = BuildDownloadImage(copy);
  Workspace back;
  EXPECT_EQ(ApplyDownloadImage(back, bytes.data(), bytes.size()), LoadResult::kLoaded);
  return back;
}

ReferenceList Csv(const std::string& text, const Workspace& ws) {
  ReferenceList ref;
  std::string message;
  EXPECT_TRUE(ListFromCsv(text, ws, ref, message)) << message;
  return ref;
}

// ---- Matching ----

struct MatchCase {
  const char* what;
  std::function<ReferenceList(const Workspace& ws)> reference;
  std::array<int, 3> matched;
  std::vector<std::string> refUnmatched;
  std::vector<std::string> orderAfter;  // workspace order after taking the order
};

std::vector<Svc> With(std::vector<Svc> v, const std::function<void(std::vector<Svc>&)>& change) {
  change(v);
  return v;
}

ReferenceList FromImage(const std::vector<Svc>& svcs) { return ListFromWorkspace(Build(svcs)); }

TEST(ReferenceMatching, TableOfCases) {
  const std::vector<std::string> base{"One", "Two", "Three", "Four", "Radio One"};
  const std::vector<MatchCase> cases{
      {"same services in other slots and another scan order",
       [](const Workspace&) {
         std::vector<Svc> v = Base();
         std::reverse(v.begin(), v.end());  // other record indices, other TP order
         return FromImage(v);
       },
       {5, 0, 0},
       {},
       {"Radio One", "Four", "Three", "Two", "One"}},
      {"a frequency moved by 1 MHz is the same transponder",
       [](const Workspace&) { return FromImage(With(Base(), [](auto& v) { v[2].freq = 11495; })); },
       {5, 0, 0},
       {},
       base},
      {"a frequency moved by 3 MHz: found again by SID and name",
       [](const Workspace&) { return FromImage(With(Base(), [](auto& v) { v[2].freq = 11497; })); },
       {4, 1, 0},
       {},
       base},
      {"a renamed service keeps its service key",
       [](const Workspace&) { return FromImage(With(Base(), [](auto& v) { v[0].name = "One HD"; })); },
       {5, 0, 0},
       {},
       base},
      {"a service moved to another transponder and satellite",
       [](const Workspace&) {
         return FromImage(With(Base(), [](auto& v) {
           v[3].sat = kHotbird;
           v[3].freq = 11034;
         }));
       },
       {4, 1, 0},
       {},
       base},
      {"orbital position within 0.2 degrees matches, 0.3 does not",
       [](const Workspace&) {
         return FromImage(With(Base(), [](auto& v) {
           v[0].sat = kAstraNear;
           v[1].sat = kAstraFar;
           v[1].name = "Two renamed";
         }));
       },
       {4, 0, 0},
       {"Two renamed"},
       {"One", "Three", "Four", "Radio One", "Two"}},
      {"a name found once matches by name; a duplicate name never does",
       [](const Workspace&) {
         return FromImage(With(Base(), [](auto& v) {
           v[1].sid = 902;                                // only the name is left: unique on both sides
           v.push_back({"Four", kAstra, 11362, 1, 903});  // "Four" twice in the reference
           v[3].sid = 904;
         }));
       },
       {3, 0, 1},
       {"Four", "Four"},
       {"One", "Two", "Three", "Radio One", "Four"}},
      {"a reference of another receiver model",
       [](const Workspace&) {
         std::vector<Svc> v = Base();
         std::swap(v[0], v[4]);
         return ListFromWorkspace(Reloaded(Build(v), 8));
       },
       {5, 0, 0},
       {},
       {"Radio One", "Two", "Three", "Four", "One"}},
      {"a CSV reference with SID uses the service key",
       [](const Workspace& ws) {
         return Csv(
             "No.,Chan No.,Chan Name,Satellite,Freq.,Pol.,SID\r\n"
             "1,7,Four,ASTRA 1,12603,V,104\r\n"
             "2,8,One,ASTRA 1,11362,H,101\r\n"
             "3,9,\"Renamed, with comma\",ASTRA 1,11494,H,103\r\n"
             "4,10,Lost,ASTRA 1,11362,H,999\r\n",
             ws);
       },
       {3, 0, 0},
       {"Lost"},
       {"Four", "One", "Three", "Two", "Radio One"}},
      {"a CSV reference without SID matches by name only (semicolons)",
       [](const Workspace& ws) {
         return Csv("Chan Name;Satellite\nradio one ;HOTBIRD\nTWO;ASTRA 1\nNobody;ASTRA 1\n", ws);
       },
       {0, 0, 2},
       {"Nobody"},
       {"Radio One", "Two", "One", "Three", "Four"}},
      {"an empty reference matches nothing and changes no order",
       [](const Workspace&) { return ListFromWorkspace(Build({})); },
       {0, 0, 0},
       {},
       base},
  };
  for (const MatchCase& c : cases) {
    SCOPED_TRACE(c.what);
    Workspace ws = Build(Base());
    const ReferenceList ref = c.reference(ws);
    const MatchResult m = MatchLists(ref, ListFromWorkspace(ws));
    EXPECT_EQ(m.matched, c.matched);
    const ApplyReport r = ApplyReference(ws, ref, ApplyOptions{});
    EXPECT_EQ(r.matched, c.matched);
    std::vector<std::string> unmatched = NamesOf(r.referenceUnmatched);
    std::vector<std::string> expected = c.refUnmatched;
    std::sort(unmatched.begin(), unmatched.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(unmatched, expected);
    const int matched = c.matched[0] + c.matched[1] + c.matched[2];
    EXPECT_EQ(int(r.workspaceUnmatched.size()), 5 - matched);
    std::vector<std::string> order = OrderNames(ws);
    // Names taken from the reference follow the workspace channels.
    for (std::string& n : order)
      if (n == "One HD" || n == "Renamed, with comma") n = n == "One HD" ? "One" : "Three";
    EXPECT_EQ(order, c.orderAfter);
    EXPECT_EQ(CheckImage(*ws.image), "");
  }
}

TEST(ReferenceMatching, EachChannelMatchesOnceAndTheFirstCandidateWins) {
  // Two workspace channels with the same key: the reference's two take one each.
  std::vector<Svc> v = Base();
  v.push_back({"One again", kAstra, 11362, 1, 101});
  Workspace ws = Build(v);
  const ReferenceList ref = FromImage({{"A", kAstra, 11362, 1, 101}, {"B", kAstra, 11362, 1, 101}});
  const ReferenceList list = ListFromWorkspace(ws);
  const MatchResult m = MatchLists(ref, list);
  EXPECT_EQ(m.matched, (std::array<int, 3>{2, 0, 0}));
  EXPECT_EQ(list.channels[size_t(m.refToList[0])].name, "One");
  EXPECT_EQ(list.channels[size_t(m.refToList[1])].name, "One again");
}

// ---- What is taken ----

TEST(ReferenceApply, NumbersFavouritesLocksAndNames) {
  Workspace ws = Build(Base(), {"News", "Sport"});
  std::vector<Svc> r = Base();
  r[0].number = 30;
  r[1].number = 10;
  r[1].locked = false;
  r[2].locked = true;
  r[3].name = "Four Plus";
  r[0].fav = 0x02;  // One: Sport only
  r[1].fav = 0x03;  // Two: News and Sport
  r[2].fav = 0x01;  // Three: News
  r[3].fav = 0;
  r.erase(r.begin() + 4);  // Radio One stays unmatched
  const ReferenceList ref = ListFromWorkspace(Build({r[2], r[1], r[0], r[3]}, {"Latest", "Games"}));
  const ApplyReport rep = ApplyReference(ws, ref, ApplyOptions{});
  ASSERT_EQ(CheckImage(*ws.image), "");
  const DbImage& img = *ws.image;
  std::map<std::string, int> idx;
  for (const ListChannel& c : ListFromWorkspace(ws).channels) idx[c.name] = c.index;
  ASSERT_EQ(idx.size(), 5u);
  EXPECT_EQ(rep.matched, (std::array<int, 3>{4, 0, 0}));
  EXPECT_EQ(img.ChanNumber(idx["One"]), 30);
  EXPECT_EQ(img.ChanNumber(idx["Two"]), 10);
  EXPECT_EQ(img.ChanNumber(idx["Radio One"]), 31) << "unmatched: after the highest taken";
  EXPECT_EQ(img.ChanWordField(idx["Two"], chw::kLock), 0u);
  EXPECT_EQ(img.ChanWordField(idx["Three"], chw::kLock), 1u);
  EXPECT_TRUE(idx.count("Four Plus")) << "name of a key match taken";
  // TV list 0 ("Latest"): Three, Two in reference order; list 1: Two, One.
  EXPECT_EQ(img.FavLength(0, 0), 2);
  EXPECT_EQ(img.FavEntry(0, 0, 0), idx["Three"]);
  EXPECT_EQ(img.FavEntry(0, 0, 1), idx["Two"]);
  EXPECT_EQ(img.FavLength(0, 1), 2);
  EXPECT_EQ(img.FavEntry(0, 1, 0), idx["Two"]);
  EXPECT_EQ(img.FavEntry(0, 1, 1), idx["One"]);
  EXPECT_EQ(img.ChanWordField(idx["Four Plus"], chw::kFavMask), 0u);
  EXPECT_EQ(img.FavLength(1, 0), 1) << "the unmatched radio channel keeps its list";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(img.FavName(0))), "Latest");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(img.FavName(1))), "Games");
}

TEST(ReferenceApply, UncheckedPartsStayAndUnmatchedCanBeDeleted) {
  Workspace ws = Build(Base());
  const Workspace before = ws;
  std::vector<Svc> r = Base();
  std::reverse(r.begin(), r.end());
  for (Svc& s : r) {
    s.number = uint16_t(s.number + 100);
    s.locked = true;
    s.name += " X";
  }
  r.pop_back();  // "One" is not in the reference
  const ReferenceList ref = FromImage(r);
  ApplyOptions none;
  none.order = none.numbers = none.favourites = none.locks = none.names = false;
  static_cast<void>(ApplyReference(ws, ref, none));
  EXPECT_TRUE(*ws.image == *before.image) << "nothing taken, nothing changed";

  ApplyOptions del;
  del.deleteUnmatched = true;
  const ApplyReport rep = ApplyReference(ws, ref, del);
  EXPECT_EQ(rep.deleted, 1);
  EXPECT_EQ(NamesOf(rep.workspaceUnmatched), std::vector<std::string>{"One"});
  EXPECT_EQ(OrderNames(ws), (std::vector<std::string>{"Radio One X", "Four X", "Three X", "Two X"}));
  EXPECT_EQ(ws.image->ChanCount(), 4);
  EXPECT_EQ(CheckImage(*ws.image), "");
}

TEST(ReferenceApply, NameTheChannelsTableCannotHoldIsKept) {
  Workspace ws = Build(Base());
  // "One" is written in the Cyrillic table (selector 0x01): "é" has no place there.
  const int one = ListFromWorkspace(ws).channels[0].index;
  uint8_t* field = ws.image->ChanName(one);
  std::fill(field, field + chan::kNameSize, uint8_t(0));
  std::copy_n("\x01One", 4, field);
  std::vector<Svc> r = Base();
  r[1].name = "Zwei";
  std::string bytes;
  ASSERT_TRUE(EncodeNameText("Caf\xC3\xA9", kDefaultNameTable, 24, bytes));  // UTF-8 "Café"
  r[0].name = bytes;  // stored in the default table of the reference
  const ApplyReport rep = ApplyReference(ws, FromImage(r), ApplyOptions{});
  EXPECT_EQ(rep.namesKept, 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(ws.image->ChanName(one))), "\x01One");
  EXPECT_EQ(OrderNames(ws)[1], "Zwei");
  EXPECT_EQ(CheckImage(*ws.image), "");
}

TEST(CsvReader, QuotingSeparatorsAndLineEnds) {
  std::vector<std::vector<std::string>> rows;
  const std::string text =
      "\xEF\xBB\xBF"
      "a;\"b;c\";\"say \"\"hi\"\"\"\r\n\r\n1;\"two\nlines\";3\r4;5;6";
  EXPECT_EQ(DetectCsvSeparator(text), ';');
  ASSERT_TRUE(ParseCsv(text, ';', rows));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b;c", "say \"hi\""}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"1", "two\nlines", "3"}));
  EXPECT_EQ(rows[2], (std::vector<std::string>{"4", "5", "6"}));
  EXPECT_EQ(DetectCsvSeparator("Chan Name,\"x;y;z\"\n"), ',');
  EXPECT_FALSE(ParseCsv("a,\"open\n", ',', rows));
  ReferenceList ref;
  std::string message;
  EXPECT_FALSE(ListFromCsv("Name,SID\nx,1\n", Build(Base()), ref, message));
  EXPECT_NE(message.find("Chan Name"), std::string::npos);
}

// ---- Import ----

std::vector<int> AllCandidates(const Workspace& ws, const Workspace& other) {
  std::vector<int> out;
  for (const ImportCandidate& c : ImportCandidates(ws, other)) out.push_back(c.index);
  return out;
}

TEST(ReferenceImport, ExistingTransponderNewTransponderAndNewSatellite) {
  Workspace ws = Build(Base());
  const uint32_t entriesBefore = ws.catalogue.count;
  std::vector<Svc> o = Base();  // all five are in the workspace already
  o.push_back({"On the same TP", kAstra, 11363, 1, 301});
  o.push_back({"On a new TP", kAstra, 11700, 2, 302, 1});
  o.push_back({"Far away", kEutelsat, 11200, 1, 303});
  o.back().locked = true;
  const Workspace other = Build(o);
  const std::vector<ImportCandidate> cands = ImportCandidates(ws, other);
  ASSERT_EQ(cands.size(), 3u);
  EXPECT_EQ(cands[1].line.name, "On a new TP");
  EXPECT_TRUE(cands[1].radio);
  EXPECT_EQ(cands[1].polarisation, "V");

  const ImportReport rep = ImportChannels(ws, other, AllCandidates(ws, other));
  ASSERT_EQ(CheckImage(*ws.image), "");
  EXPECT_EQ(rep.imported, 3);
  EXPECT_TRUE(rep.notImported.empty());
  EXPECT_EQ(rep.transpondersAdded, 2);
  EXPECT_EQ(rep.satellitesAdded, 1);
  EXPECT_EQ(rep.catalogueEntriesAdded, 1);
  EXPECT_EQ(ws.catalogue.count, entriesBefore + 1);
  const CatalogueEntry& e = ws.catalogue.entries[entriesBefore];
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(e.name.data())), "EUTELSAT 9");
  EXPECT_EQ(e.position, 90);
  ASSERT_EQ(e.tps.size(), 1u);
  EXPECT_EQ(e.tps[0].frequency, 11200);

  const std::vector<ListChannel> chans = ListFromWorkspace(ws).channels;
  ASSERT_EQ(chans.size(), 8u);
  const DbImage& img = *ws.image;
  const int sameTp = chans[5].index;
  EXPECT_EQ(chans[5].name, "On the same TP");
  EXPECT_EQ(img.ChanTp(sameTp), img.ChanTp(chans[0].index)) << "11363 is within 2 MHz of 11362";
  EXPECT_EQ(chans[5].number, 6);
  EXPECT_EQ(chans[6].number, 7);
  EXPECT_EQ(chans[6].serviceType, 1);
  EXPECT_EQ(chans[7].locked, 1);
  EXPECT_EQ(chans[7].position, 90);
  EXPECT_EQ(img.ChanSid(sameTp), 301);
  EXPECT_EQ(img.ChanU16(sameTp, chan::kVideoPid), 101);
  EXPECT_GE(img.ChanProvider(sameTp), kFirstBadProvider);
  // The new ASTRA TP went into the catalogue entry too.
  const CatalogueEntry& astra = ws.catalogue.entries[0];
  EXPECT_TRUE(std::any_of(astra.tps.begin(), astra.tps.begin() + astra.tpCount,
                          [](const CatalogueTp& t) { return t.frequency == 11700 && t.polarisation == 2; }));
  EXPECT_TRUE(ImportCandidates(ws, other).empty()) << "everything is in now";
}

TEST(ReferenceImport, PastEachLimitTheRestGoesIn) {
  struct Case {
    const char* what;
    std::function<void(Workspace&)> prepare;
    std::function<std::vector<Svc>(const Workspace&)> others;
    int imported;
    std::string_view reason;
  };
  // A channel of the full workspace with another SID (its TP and satellite exist).
  auto onExisting = [](const Workspace& ws, int n, uint16_t freqShift) {
    const ListChannel c = ListFromWorkspace(ws).channels[0];
    std::vector<Svc> out;
    for (int i = 0; i < n; ++i)
      out.push_back({"Extra " + std::to_string(i), -1, uint16_t(c.shownFrequency + freqShift * (i + 1)), c.polarisation,
                     uint16_t(60000 + i), 0, kNoChanNumber, false, 0});
    return out;
  };
  const std::vector<Case> cases{
      {"8000 channels",
       [](Workspace& ws) { static_cast<void>(DbOps(*ws.image).DeleteChan(ListFromWorkspace(ws).channels[5].index)); },
       [&](const Workspace& ws) { return onExisting(ws, 2, 0); }, 1, kNoRoomChannel},
      {"800 transponders",
       [](Workspace& ws) {
         static_cast<void>(DbOps(*ws.image).DeleteTp(ws.image->ChanTp(ListFromWorkspace(ws).channels[100].index)));
       },
       [&](const Workspace& ws) { return onExisting(ws, 2, 3); }, 1, kNoRoomTransponder},
      {"255 channels a transponder", [](Workspace&) {}, [&](const Workspace&) { return std::vector<Svc>{}; }, 1,
       kTransponderFull},
      {"a full catalogue", [](Workspace&) {},
       [](const Workspace&) {
         return std::vector<Svc>{{"Nowhere", kEutelsat, 11200, 1, 61000}};
       },
       0, kNoRoomCatalogue},
      {"200 satellites",
       [](Workspace& ws) {
         // Room in the catalogue, none in the image's satellite table.
         ws.catalogue.count = 150;
       },
       [](const Workspace&) {
         return std::vector<Svc>{{"Nowhere", kEutelsat, 11200, 1, 61000}};
       },
       0, kNoRoomSatellite},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Workspace ws;
    Workspace other;
    if (std::string_view(c.what) == "255 channels a transponder") {
      std::vector<Svc> full;
      for (int i = 0; i < 254; ++i) full.push_back({"C" + std::to_string(i), kAstra, 11362, 1, uint16_t(i + 1)});
      ws = Build(full);
      other = Build({{"New A", kAstra, 11362, 1, 5001}, {"New B", kAstra, 11362, 1, 5002}});
    } else {
      ws = FullWorkspace(1);
      c.prepare(ws);
      std::vector<Svc> o = c.others(ws);
      for (Svc& s : o)
        if (s.sat < 0) s.sat = -1;
      // Channels on the full workspace's first satellite: rebuild it by position.
      ::pelagor::WorkspaceBuilder b(1, false);
      const ListChannel first = ListFromWorkspace(ws).channels[0];
      const int mine = b.AddSatellite(first.satellite, uint16_t(first.position));
      const int far = b.AddSatellite("EUTELSAT 9", 90);
      std::map<std::pair<int, int>, int> tps;
      for (const Svc& s : o) {
        const int sat = s.sat < 0 ? mine : far;
        const auto key = std::make_pair(sat, int(s.freq));
        if (!tps.count(key)) tps[key] = b.AddTp(sat, s.freq, 27500, s.pol, 0);
        ChannelFields f;
        f.name = s.name;
        f.sid = s.sid;
        static_cast<void>(b.AddChannel(tps[key], f));
      }
      other = b.Take();
    }
    ASSERT_EQ(CheckImage(*ws.image), "");
    const ImportReport rep = ImportChannels(ws, other, AllCandidates(ws, other));
    EXPECT_EQ(rep.imported, c.imported);
    ASSERT_EQ(rep.notImported.size(), 1u);
    EXPECT_EQ(rep.notImported[0].reason, c.reason);
    EXPECT_EQ(CheckImage(*ws.image), "");
  }
}

// ---- Through the view ----

class ReferenceUi : public FakeViewUi {
 public:
  std::deque<std::function<DialogAnswer(ReferenceDialogModel)>> answers;
  std::vector<CReferenceReportDlg> reports;
  DialogAnswer RunReferenceDialog(ReferenceDialogModel m) override {
    if (auto* const* r = std::get_if<CReferenceReportDlg*>(&m)) {
      reports.push_back(**r);
      return DialogAnswer::kOk;
    }
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected reference dialog";
      return DialogAnswer::kCancel;
    }
    auto a = std::move(answers.front());
    answers.pop_front();
    return a(m);
  }
};

std::vector<uint16_t> Order(const DbImage& img) {
  std::vector<uint16_t> out;
  for (int i = 0; i < kMaxChans; ++i) out.push_back(img.Order(i));
  return out;
}

TEST(ReferenceView, SavedOrderComesBackAfterSortingAndUndoRestoresTheBytes) {
  ScratchDir dir;
  const std::string saved = dir.File("demo.bin");
  ASSERT_EQ(WriteDownloadImage(DemoWorkspace(), saved), 1);
  ReferenceUi ui;
  CVortanView view(ui);
  view.OnInitialUpdate();
  ASSERT_TRUE(view.OpenFile(saved));
  const DbImage original = view.Image();
  view.OnSortChannels(ChanMenuItem::kSortByName);
  ASSERT_NE(Order(view.Image()), Order(original)) << "the demo's order is not already by name";
  const DbImage sorted = view.Image();
  const SatCatalogue sortedCatalogue = view.GetWorkspace().catalogue;

  ui.openAnswers.push_back(saved);
  ui.answers.push_back([](ReferenceDialogModel m) {
    auto* dlg = std::get<CApplyOrderDlg*>(m);
    EXPECT_EQ(dlg->referenceName, "demo.bin");
    EXPECT_TRUE(dlg->options.order && dlg->options.numbers && dlg->options.favourites && dlg->options.locks &&
                dlg->options.names && !dlg->options.deleteUnmatched);
    return DialogAnswer::kOk;
  });
  const size_t levels = view.History().UndoLevels();
  view.OnApplyOrderFromReference();
  EXPECT_EQ(Order(view.Image()), Order(original));
  EXPECT_TRUE(view.Image() == original) << "every matched channel is as saved";
  EXPECT_EQ(CheckImage(view.Image()), "");
  EXPECT_TRUE(view.Modified());
  EXPECT_EQ(view.History().UndoLevels(), levels + 1) << "one undo step";
  ASSERT_EQ(ui.reports.size(), 1u);
  EXPECT_TRUE(ui.reports[0].sections[0].lines.empty());
  EXPECT_TRUE(ui.reports[0].sections[1].lines.empty());
  for (int row = 0; row + 1 < view.RowCount(); ++row) {
    const uint16_t a = view.ChannelOfRow(row), b = view.ChannelOfRow(row + 1);
    const auto pos = [&](uint16_t c) {
      for (int i = 0; i < kMaxChans; ++i)
        if (original.Order(i) == c) return i;
      return -1;
    };
    ASSERT_LT(pos(a), pos(b)) << "the window lists the saved order, row " << row;
  }

  view.OnEditUndo();
  EXPECT_TRUE(view.Image() == sorted) << "undo restores the image byte for byte";
  EXPECT_TRUE(view.GetWorkspace().catalogue.entries == sortedCatalogue.entries);
}

TEST(ReferenceView, ImportThroughTheDialogIsOneUndoStep) {
  ScratchDir dir;
  const std::string mine = dir.File("mine.bin"), theirs = dir.File("theirs.bin");
  ASSERT_EQ(WriteDownloadImage(Build(Base()), mine), 1);
  std::vector<Svc> o = Base();
  o.push_back({"Sky Radio", kEutelsat, 11200, 1, 401, 1});
  o.push_back({"Sky One", kEutelsat, 11200, 1, 402});
  o.push_back({"Sky News", kAstra, 11800, 2, 403});
  ASSERT_EQ(WriteDownloadImage(Build(o), theirs), 1);
  ReferenceUi ui;
  CVortanView view(ui);
  view.OnInitialUpdate();
  ASSERT_TRUE(view.OpenFile(mine));
  const DbImage before = view.Image();
  const SatCatalogue catalogueBefore = view.GetWorkspace().catalogue;
  ui.openAnswers.push_back(theirs);
  ui.answers.push_back([](ReferenceDialogModel m) {
    auto* dlg = std::get<CImportChannelsDlg*>(m);
    EXPECT_EQ(dlg->candidates.size(), 3u);
    EXPECT_EQ(dlg->SatelliteChoices(), (std::vector<std::string>{"All", "EUTELSAT 9", "ASTRA 1"}));
    dlg->satelliteFilter = 1;
    dlg->typeFilter = 1;  // TV
    EXPECT_EQ(dlg->ShownRows(), std::vector<size_t>{1});
    dlg->typeFilter = 0;
    dlg->satelliteFilter = 0;
    dlg->nameFilter = "sky n";
    dlg->CheckShown(true);
    dlg->nameFilter.clear();
    dlg->checked[0] = true;
    return DialogAnswer::kOk;
  });
  view.OnImportChannels();
  EXPECT_EQ(CheckImage(view.Image()), "");
  const std::vector<std::string> names = OrderNames(view.GetWorkspace());
  EXPECT_EQ(names, (std::vector<std::string>{"One", "Two", "Three", "Four", "Radio One", "Sky Radio", "Sky News"}));
  EXPECT_TRUE(view.Modified());
  ASSERT_EQ(ui.reports.size(), 1u);
  EXPECT_EQ(ui.reports[0].summary[0], "Channels imported: 2");
  view.OnEditUndo();
  EXPECT_TRUE(view.Image() == before);
  EXPECT_TRUE(view.GetWorkspace().catalogue.entries == catalogueBefore.entries);
  EXPECT_EQ(view.GetWorkspace().catalogue.count, catalogueBefore.count);
}

TEST(ReferenceView, AnUnreadableReferenceIsReportedAndChangesNothing) {
  ScratchDir dir;
  const std::string mine = dir.File("mine.bin");
  ASSERT_EQ(WriteDownloadImage(Build(Base()), mine), 1);
  test::WriteFile(dir.File("bad.csv"), {'N', 'o', ',', 'X', '\n'});
  ReferenceUi ui;
  CVortanView view(ui);
  view.OnInitialUpdate();
  ASSERT_TRUE(view.OpenFile(mine));
  const DbImage before = view.Image();
  ui.openAnswers.push_back(dir.File("bad.csv"));
  ui.openAnswers.push_back(dir.File("missing.bin"));
  view.OnApplyOrderFromReference();
  view.OnApplyOrderFromReference();
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_NE(ui.messages[0].text.find("Chan Name"), std::string::npos);
  EXPECT_EQ(ui.messages[1].text, "File Open Error !!!");
  EXPECT_TRUE(view.Image() == before);
  EXPECT_FALSE(view.Modified());
}

}  // namespace
}  // namespace pelagor::test
