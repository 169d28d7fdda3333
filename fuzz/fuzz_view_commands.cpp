// libFuzzer target for the editor: a fuzzed download image is loaded into
// the view, then a fuzzed sequence of editor commands (add, edit, delete,
// move, cut and paste, drag, sort, favourites, TP and satellite commands,
// filters, undo, redo) runs through CVortanView on a screen that shows
// nothing and answers dialogs and questions from the same bytes. No image
// may crash a command or make it read or write out of bounds, and on an
// image the checker accepts every command must leave it accepted.
//
// Input: one byte n, n bytes of commands, then the image part. An image part
// that begins with a known section tag is a download image as it is;
// anything else picks one of the workspaces the project's writer makes and
// patches fields of its channel section (faster to reach inconsistent links
// than mutating a whole 640 KB file).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "db/ImageChecker.h"
#include "files/DownloadImage.h"
#include "files/ModelTable.h"
#include "samples/SampleWorkspaces.h"
#include "samples/WorkspaceBuilder.h"
#include "support/NullViewUi.h"
#include "view/CAddCableTP.h"
#include "view/CAddChanDlg.h"
#include "view/CAddSatDlg.h"
#include "view/CAddTPDlg.h"
#include "view/CEditChanDlg.h"
#include "view/CFavNameDlg.h"
#include "view/CProviderSelectDlg.h"
#include "view/CVortanView.h"
#include "view/ViewUi.h"

using namespace pelagor;

namespace {

// The command bytes, read front to back; 0 once they run out.
class Bytes {
 public:
  Bytes(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  bool Empty() const { return pos_ >= n_; }
  uint8_t Next() { return pos_ < n_ ? p_[pos_++] : 0; }
  uint16_t Next16() { return uint16_t(Next() | (Next() << 8)); }
  // A short text: printable characters, now and then any byte.
  std::string Text(size_t maxLen) {
    const size_t len = Next() % (maxLen + 1);
    std::string s;
    for (size_t i = 0; i < len; ++i) {
      const uint8_t b = Next();
      s += b < 0xF0 ? char(0x20 + b % 0x5F) : char(Next());
    }
    return s;
  }

 private:
  const uint8_t* p_;
  size_t n_;
  size_t pos_ = 0;
};

// A screen that shows nothing: it keeps the selections and the TP rows, and
// answers every dialog and question from the command bytes, the way a user
// could (a dialog ends with OK only when its fields pass its own check).
class FuzzViewUi : public NullViewUi {
 public:
  explicit FuzzViewUi(Bytes& in) : in_(in) {}

  int dialogsLeft = 0;  // per command: a dialog that keeps being refused ends
  size_t tpRows = 0;

  void ResetChannelList(int) override { sel_[0].clear(); }
  void FillTpList(const std::vector<ListColumn>&, const std::vector<std::vector<std::string>>& rows) override {
    tpRows = rows.size();
    sel_[1].clear();
  }

  MessageAnswer ShowMessage(const std::string&, MessageIcon, MessageButtons buttons) override {
    switch (buttons) {
      case MessageButtons::kOk: return MessageAnswer::kOk;
      case MessageButtons::kOkCancel: return in_.Next() % 2 ? MessageAnswer::kOk : MessageAnswer::kCancel;
      case MessageButtons::kYesNo: return in_.Next() % 2 ? MessageAnswer::kYes : MessageAnswer::kNo;
      case MessageButtons::kYesNoCancel: {
        const MessageAnswer a[] = {MessageAnswer::kYes, MessageAnswer::kNo, MessageAnswer::kCancel};
        return a[in_.Next() % 3];
      }
    }
    return MessageAnswer::kOk;
  }

  DialogAnswer RunDialog(DialogModel model) override {
    if (dialogsLeft <= 0 || in_.Empty() || in_.Next() % 4 == 0) return DialogAnswer::kCancel;
    --dialogsLeft;
    return std::visit([this](auto* dlg) { return Answer(dlg); }, model);
  }

  std::optional<std::string> AskOpenFile(const FileRequest&) override { return std::nullopt; }
  std::optional<std::string> AskSaveFile(const FileRequest&) override { return std::nullopt; }

  void SelectChannelRows(int rowCount) { sel_[0] = Rows(rowCount); }
  void SelectTpRows() { sel_[1] = Rows(int(tpRows)); }

 private:
  std::vector<int> Rows(int count) {
    std::vector<int> rows;
    if (count <= 0) return rows;
    const int n = in_.Next() % 5;
    for (int i = 0; i < n; ++i) rows.push_back(in_.Next16() % count);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
  }

  std::string Number(uint32_t limit) { return std::to_string(in_.Next16() % limit); }

  template <class Dlg>
  static DialogAnswer Checked(Dlg* d) {
    return d->Validate() ? DialogAnswer::kCancel : DialogAnswer::kOk;
  }

  template <class Dlg>
  void FillChannelFields(Dlg* d) {
    d->FillTexts();
    using F = typename Dlg::Field;
    const uint8_t which = in_.Next();
    if (which & 1) d->Text(F::kChannelNumber) = Number(10000);
    if (which & 2) d->Text(F::kName) = in_.Text(22);
    if (which & 4) d->Text(F::kVideoPid) = Number(8300);
    if (which & 8) d->Text(F::kAudioPid) = Number(8300);
    if (which & 16) d->Text(F::kPcrPid) = Number(8300);
    if (which & 32) d->Text(F::kServiceId) = std::to_string(in_.Next16());
  }

  DialogAnswer Answer(CAddChanDlg* d) {
    FillChannelFields(d);
    return Checked(d);
  }
  DialogAnswer Answer(CEditChanDlg* d) {
    FillChannelFields(d);
    return Checked(d);
  }
  DialogAnswer Answer(CAddSatDlg* d) {
    d->FillTexts();
    d->Text(CAddSatDlg::Field::kLocation) = std::to_string(in_.Next() % 200) + "." + std::to_string(in_.Next() % 10);
    d->OnDirection(in_.Next() % 2);
    d->Text(CAddSatDlg::Field::kName) = in_.Text(17);
    return Checked(d);
  }
  DialogAnswer Answer(CAddTPDlg* d) {
    d->FillTexts();
    d->OnModulation(in_.Next() % 3);
    const size_t fecs = CAddTPDlg::FecChoices(d->modulation).size();
    d->fecIndex = fecs ? int(in_.Next() % fecs) : 0;
    d->polarity = in_.Next() % 3;
    d->pilot = in_.Next() % 2;
    if (in_.Next() % 2) d->Text(CAddTPDlg::Field::kFrequency) = Number(21000);
    if (in_.Next() % 2) d->Text(CAddTPDlg::Field::kSymbolRate) = Number(46000);
    return Checked(d);
  }
  DialogAnswer Answer(CAddCableTP* d) {
    d->FillTexts();
    d->OnQamMode(in_.Next() % 6);
    if (in_.Next() % 2) d->Text(CAddCableTP::Field::kFrequency) = std::to_string(100000 + in_.Next16() * 12u);
    if (in_.Next() % 2) d->Text(CAddCableTP::Field::kSymbolRate) = Number(46000);
    return Checked(d);
  }
  DialogAnswer Answer(CFavNameDlg* d) {
    d->FillTexts();
    d->Text() = in_.Text(21);
    return Checked(d);
  }
  DialogAnswer Answer(CProviderSelectDlg* d) {
    if (in_.Next() % 2) {
      d->TypeText(in_.Text(17));
    } else {
      d->ChooseLine(int(in_.Next16() % (d->Lines().size() + 1)) - 1);
    }
    return Checked(d);
  }
  // The model, port and information dialogs belong to commands not run here.
  template <class Other>
  DialogAnswer Answer(Other*) {
    return DialogAnswer::kCancel;
  }

  Bytes& in_;
};

// The base workspaces of the patched inputs, written by the project's writer.
const std::vector<std::vector<uint8_t>>& BaseFiles() {
  static const std::vector<std::vector<uint8_t>> files = [] {
    std::vector<std::vector<uint8_t>> out;
    out.push_back(BuildDownloadImage(DemoWorkspace()));
    for (ModelId m : {1, 5, 6, 8}) out.push_back(BuildDownloadImage(SmallWorkspace(m, m % 2 == 0)));
    // Terrestrial and cable channels on both tuners.
    WorkspaceBuilder b(4, true);
    static_cast<void>(b.AddSatellite("Astra 19.2E", 192));
    const int t1 = b.AddTp(b.AddPseudoSatellite(1, 1, "DVB-T"), 5060, 0, 0, 0);
    const int t2 = b.AddTp(b.AddPseudoSatellite(2, 2, "DVB-C"), 3460, 6900, 0, 0x04);
    static_cast<void>(b.AddChannel(t1, {"Das Erste", 0, 1, 101, 102, 101}));
    static_cast<void>(b.AddChannel(t1, {"Radio", 1, 2, kNoPid, 103, kNoPid}));
    static_cast<void>(b.AddChannel(t2, {"Kabel", 0, 3, 201, 202, 201, true, false, 0x03}));
    out.push_back(BuildDownloadImage(b.Take()));
    return out;
  }();
  return files;
}

// Patches of 6 bytes: area, record index (2), field offset, value (2). The
// high bit of the area byte writes both value bytes, else the low one.
std::vector<uint8_t> PatchedFile(const uint8_t* data, size_t size) {
  const std::vector<std::vector<uint8_t>>& bases = BaseFiles();
  std::vector<uint8_t> file = bases[size ? data[0] % bases.size() : 0];
  // The channel body follows the satellite section (header and body) and
  // its own header.
  const size_t satLen = (size_t(file[36]) << 24) | (size_t(file[37]) << 16) | (size_t(file[38]) << 8) | file[39];
  uint8_t* img = file.data() + 40 + satLen + 40;
  for (size_t i = 1; i + 6 <= size; i += 6) {
    const uint8_t* p = data + i;
    const size_t index = size_t(p[1] | (p[2] << 8));
    size_t off = 0;
    switch ((p[0] & 0x7F) % 6) {
      case 0: off = DbImage::SatOffset(int(index % kMaxSats)) + p[3] % kSatRecordSize; break;
      case 1: off = DbImage::TpOffset(int(index % kMaxTps)) + p[3] % kTpRecordSize; break;
      case 2: off = DbImage::ChanOffset(int(index % kMaxChans)) + p[3] % kChanRecordSize; break;
      case 3: off = kChannelOrderOffset + 2 * (index % kMaxChans); break;
      case 4: off = kSatSlotBitmapOffset + index % (kFavNamesOffset - kSatSlotBitmapOffset); break;
      default: off = kFavLengthsOffset + index % (kImageSize - kFavLengthsOffset); break;
    }
    const bool wide = (p[0] & 0x80) != 0;
    if (off + (wide ? 2 : 1) > kImageSize) continue;
    img[off] = p[4];
    if (wide) img[off + 1] = p[5];
  }
  return file;
}

// The screen reads the cells of the rows it shows.
void ReadSomeCells(const CVortanView& view) {
  const int rows = view.RowCount();
  for (int r : {0, 1, rows / 2, rows - 1}) {
    if (r < 0 || r >= rows) continue;
    for (int col = 0; col < kChannelColumns; ++col) (void)view.ChannelCell(r, col);
  }
}

void RunCommand(CVortanView& view, FuzzViewUi& ui, Bytes& in) {
  ui.dialogsLeft = 3;
  const uint8_t op = in.Next();
  switch (op % 16) {
    case 0:
    case 1: ui.SelectChannelRows(view.RowCount()); break;
    case 2: ui.SelectTpRows(); break;
    case 3:
    case 4: {
      // A context-menu item when the menu offers it; Insert, Enter and Del
      // reach add, edit and delete whatever the menu says.
      const int item = in.Next() % kChanMenuItems;
      const ContextMenu menu = view.ChannelContextMenu();
      const bool key = item <= int(ChanMenuItem::kDeleteChannel);
      if (key || (size_t(item) < menu.enabled.size() && menu.enabled[size_t(item)]))
        view.OnChannelMenuCommand(ChanMenuItem(item));
      break;
    }
    case 5: {
      const int item = in.Next() % kTpMenuItems;
      const ContextMenu menu = view.TpContextMenu();
      const bool key = item <= int(TpMenuItem::kDeleteTp);
      if (key || (size_t(item) < menu.enabled.size() && menu.enabled[size_t(item)]))
        view.OnTpMenuCommand(TpMenuItem(item));
      break;
    }
    case 6: {
      const uint8_t which = in.Next() % 3;
      if (which == 0) view.OnSatAdd();
      if (which == 1) view.OnSatDelete();
      if (which == 2) view.OnSatEdit();
      break;
    }
    case 7:
      if (view.IsCommandEnabled(kIdEditUndo)) view.OnEditUndo();
      break;
    case 8:
      if (view.IsCommandEnabled(kIdEditRedo)) view.OnEditRedo();
      break;
    case 9:
      if (in.Next() % 2) {
        if (view.IsCommandEnabled(kIdMoveUp)) view.OnMoveUp();
      } else if (view.IsCommandEnabled(kIdMoveDown)) {
        view.OnMoveDown();
      }
      break;
    case 10:
      // A drag of the selected rows, dropped at a 1-based position.
      view.OnListBeginDrag(ListId::kChannels);
      view.OnListDrop(ListId::kChannels, int(in.Next16() % uint16_t(view.RowCount() + 2)));
      break;
    case 11: {
      const uint8_t b = in.Next();
      view.OnDeliveryTypeButton(b % 2, (b / 2) % 3);
      break;
    }
    case 12: {
      const uint8_t b = in.Next();
      switch (b % 6) {
        case 0: view.OnTuner1Button(); break;
        case 1: view.OnTuner2Button(); break;
        case 2: view.OnServiceTypeButton(ServiceType((b / 8) % 2)); break;
        case 3: view.OnCasComboChanged((b / 8) % 3); break;
        case 4: view.OnFavoriteComboChanged((b / 8) % (kFavLists + 1)); break;
        default: view.OnSatelliteOrderButton(SatelliteOrder((b / 8) % 2)); break;
      }
      break;
    }
    case 13: {
      const uint8_t b = in.Next();
      if (b % 3 == 0) view.OnSatFilterChanged((b / 4) % 2);
      if (b % 3 == 1) view.OnTpFilterChanged((b / 4) % 2);
      if (b % 3 == 2) view.OnSatelliteComboChanged(in.Next() % kMaxSats);
      break;
    }
    case 14: view.OnTpListClick(); break;
    default:
      if (in.Next() % 2) {
        view.OnFavoriteButton();
      } else {
        view.OnFindTextChanged(in.Text(3));
      }
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t scriptLen = std::min<size_t>(data[0], size - 1);
  Bytes in(data + 1, scriptLen);
  const uint8_t* imagePart = data + 1 + scriptLen;
  const size_t imageSize = size - 1 - scriptLen;

  std::vector<uint8_t> file;
  if (imageSize >= kSectionHeaderSize && ClassifySectionTag(imagePart) != kKindUnknown) {
    file.assign(imagePart, imagePart + imageSize);
  } else {
    file = PatchedFile(imagePart, imageSize);
  }

  FuzzViewUi ui(in);
  CVortanView view(ui);
  // The side file of the load goes nowhere.
  view.SetSideFileFolder("/nonexistent-pelagor-fuzz");
  view.OnInitialUpdate();
  ui.dialogsLeft = 0;
  if (!view.LoadReceivedImage(file)) return 0;
  ReadSomeCells(view);

  const bool sound = CheckImage(view.Image()).empty();
  for (int step = 0; !in.Empty() && step < 32; ++step) {
    RunCommand(view, ui, in);
    ReadSomeCells(view);
    if (!sound) continue;
    const std::string fault = CheckImage(view.Image());
    if (!fault.empty()) {
      std::fprintf(stderr, "step %d left the image unsound: %s\n", step, fault.c_str());
      std::abort();
    }
  }
  return 0;
}
