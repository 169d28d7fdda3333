// Undo and Redo. Every command that can change the workspace runs inside an
// EditScope; when the outermost scope closes, the history compares the
// workspace with its copy and records the difference as one step.

#include <algorithm>
#include <cstring>

#include "view/CVortanView.h"

namespace pelagor {

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

uint32_t Get32(const uint8_t*& p) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t(*p++) << (8 * i);
  return v;
}

}  // namespace

CVortanView::EditScope::EditScope(CVortanView& view) : view_(view) { ++view_.editDepth_; }

CVortanView::EditScope::~EditScope() {
  if (--view_.editDepth_ == 0) view_.CommitEdit();
}

// The undoable part of the workspace as bytes: the image, the providers, the
// section headers and flags, then the favourite names (their length varies,
// so they come last and a rename does not shift anything before them). The
// model is the file's format, like its path, and stays out.
std::vector<uint8_t> CVortanView::UndoSnapshot() const {
  std::vector<uint8_t> out;
  out.reserve(kImageSize + kProviderTableSize + 256);
  out.insert(out.end(), Image().Data(), Image().Data() + kImageSize);
  const ProviderTable& p = ws_.providers;
  Put32(out, p.head0);
  Put32(out, p.head4);
  Put32(out, p.count);
  for (const ProviderEntry& e : p.entries) {
    Put32(out, e.usage);
    out.insert(out.end(), e.name.begin(), e.name.end());
  }
  for (const SectionHeader* h : {&ws_.satelliteHeader, &ws_.channelHeader, &ws_.providerHeader}) {
    out.insert(out.end(), h->Data(), h->Data() + kSectionHeaderSize);
  }
  out.insert(out.end(), ws_.satellitePrefix.begin(), ws_.satellitePrefix.end());
  out.push_back(ws_.providerPresent ? 1 : 0);
  out.push_back(ws_.loaded ? 1 : 0);
  for (const std::string& name : list_.FavoriteNames()) {
    Put32(out, uint32_t(name.size()));
    out.insert(out.end(), name.begin(), name.end());
  }
  return out;
}

void CVortanView::RestoreUndoSnapshot(const std::vector<uint8_t>& bytes, const SatCatalogue& catalogue) {
  const uint8_t* p = bytes.data();
  const uint8_t* end = bytes.data() + bytes.size();
  std::memcpy(Image().Data(), p, kImageSize);
  p += kImageSize;
  ProviderTable& t = ws_.providers;
  t.head0 = Get32(p);
  t.head4 = Get32(p);
  t.count = Get32(p);
  for (ProviderEntry& e : t.entries) {
    e.usage = Get32(p);
    std::memcpy(e.name.data(), p, e.name.size());
    p += e.name.size();
  }
  for (SectionHeader* h : {&ws_.satelliteHeader, &ws_.channelHeader, &ws_.providerHeader}) {
    *h = SectionHeader(p);
    p += kSectionHeaderSize;
  }
  std::memcpy(ws_.satellitePrefix.data(), p, ws_.satellitePrefix.size());
  p += ws_.satellitePrefix.size();
  ws_.providerPresent = *p++ != 0;
  ws_.loaded = *p++ != 0;
  for (std::string& name : list_.FavoriteNames()) {
    const uint32_t n = Get32(p);
    const size_t len = std::min<size_t>(n, size_t(end - p));
    name.assign(reinterpret_cast<const char*>(p), len);
    p += len;
  }
  ws_.catalogue = catalogue;
}

void CVortanView::ResetUndoHistory() {
  history_.Reset(UndoSnapshot(), ws_.catalogue, !st_.modified);
  ++changeCount_;
}

void CVortanView::CommitEdit() {
  if (history_.Commit(UndoSnapshot(), ws_.catalogue)) ++changeCount_;
}

void CVortanView::OnEditUndo() {
  if (editDepth_ != 0) return;
  CommitEdit();  // anything changed outside a command is a step of its own
  if (!history_.Undo()) return;
  ShowRestoredState();
}

void CVortanView::OnEditRedo() {
  if (editDepth_ != 0) return;
  CommitEdit();  // a change since the undo ends the redo branch
  if (!history_.Redo()) return;
  ShowRestoredState();
}

void CVortanView::ShowRestoredState() {
  RestoreUndoSnapshot(history_.State(), history_.Catalogue());
  ++changeCount_;
  // Cut channels may be gone or hidden in the restored state.
  st_.cutList.clear();
  const int count = int(std::min<uint32_t>(ws_.catalogue.count, kCatalogueEntries));
  if (st_.currentCatalogueEntry >= count) st_.currentCatalogueEntry = count > 0 ? 0 : -1;
  const std::vector<int> rows = ui_.SelectedRows(ListId::kChannels);
  const int channelHint = rows.empty() ? 1 : rows.front() + 1;
  const int tpHint = std::max(st_.currentTpRow, 0) + 1;
  FillSatelliteCombo();
  FillTransponderList(tpHint);
  FillFavoriteCombo();
  FillChannelList(ChannelFill::SelectRow(channelHint));
  st_.modified = !history_.AtSaved();
  UpdateTitle();
}

}  // namespace pelagor
