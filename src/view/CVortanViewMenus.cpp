// Command enabling, as queries, so the menu bar, the toolbar and the context
// menus all read one truth; the context menus and their texts; the link
// commands' enabling and prompts.

#include <array>

#include "view/CVortanView.h"

namespace pelagor {

std::string_view ChanMenuText(ChanMenuItem item) {
  static constexpr std::array<std::string_view, kChanMenuItems> kTexts{
      "&Add Channel...\tInsert",
      "&Edit Channel...\tEnter",
      "&Delete Channel\tDel",
      "FAV-1",
      "FAV-2",
      "FAV-3",
      "FAV-4",
      "FAV-5",
      "FAV-6",
      "FAV-7",
      "FAV_8",
      "&Lock",
      "&Unlock",
      "&Reassign Channel No.",
      "&Cut Channel",
      "&Paste Channel",
      "Sort by Chan N&o",
      "Sort by &Name",
      "Sort by &Satellite",
      "Sort by Pro&vider",
      "Se&t Provider",
  };
  const int i = int(item);
  return (i >= 0 && i < kChanMenuItems) ? kTexts[size_t(i)] : "";
}

std::string_view TpMenuText(TpMenuItem item) {
  static constexpr std::array<std::string_view, kTpMenuItems> kTexts{"&Add TP...", "&Edit TP...\tEnter", "&Delete TP",
                                                                     "&Sort by Frequency"};
  const int i = int(item);
  return (i >= 0 && i < kTpMenuItems) ? kTexts[size_t(i)] : "";
}

bool LinkCommandEnabled(const CLinkPort& link, int id) {
  switch (id) {
    case kIdLinkConnect: return !link.Connected();
    case kIdLinkDisconnect:
    case kIdReceiverInfo: return link.Connected();
    default: return false;
  }
}

std::string_view LinkCommandPrompt(int id) {
  switch (id) {
    case kIdLinkConnect: return "Setup Serial Connection\nConnect...";
    case kIdLinkDisconnect: return "Close Serial Connection\nDisconnect";
    default: return {};
  }
}

bool CVortanView::IsCommandEnabled(int id) const {
  switch (id) {
    case kIdFileNew:
    case kIdFileOpen:
    case kIdFileSave:
    case kIdFileSaveAs:
    case kIdAppAbout:
    case kIdAppExit:
    case kIdViewToolbar:
    case kIdViewStatusBar: return true;
    case kIdLinkConnect:
    case kIdLinkDisconnect:
    case kIdReceiverInfo: return LinkCommandEnabled(link_, id);
    case kIdDownloadFile:
    case kIdUploadFile:
    case kIdUploadToWorkspace: return link_.Connected();
    case kIdDownloadWorkspace: return link_.Connected() && ws_.loaded;
    case kIdMoveUp: return CanMoveSelection(-1);
    case kIdMoveDown: return CanMoveSelection(+1);
    case kIdFind: return true;
    case kIdFileExport:
    case kIdApplyOrder:
    case kIdImportChannels: return ws_.loaded;
    case kIdEditUndo: return history_.CanUndo();
    case kIdEditRedo: return history_.CanRedo();
    default: return false;
  }
}

ContextMenu CVortanView::ChannelContextMenu() const {
  ContextMenu m;
  m.enabled.assign(kChanMenuItems, true);
  m.favoriteTexts = list_.FavoriteNames();
  // A list without a name would be a blank item nobody can pick knowingly:
  // it keeps its menu text.
  for (int k = 0; k < kFavLists; ++k)
    if (m.favoriteTexts[size_t(k)].empty())
      m.favoriteTexts[size_t(k)] = std::string(ChanMenuText(ChanMenuItem(int(ChanMenuItem::kFav1) + k)));
  auto off = [&m](ChanMenuItem i) { m.enabled[size_t(i)] = false; };
  const std::vector<int> rows = ui_.SelectedRows(ListId::kChannels);
  if (!rows.empty() && ws_.loaded) {
    if (rows.size() > 1) off(ChanMenuItem::kEditChannel);
    if (st_.cutList.empty()) off(ChanMenuItem::kPasteChannel);
  } else {
    for (int i = int(ChanMenuItem::kEditChannel); i < kChanMenuItems; ++i) m.enabled[size_t(i)] = false;
    if (ui_.SelectedRows(ListId::kTransponders).empty()) off(ChanMenuItem::kAddChannel);
  }
  if (!ws_.providerPresent) {
    off(ChanMenuItem::kSortByProvider);
    off(ChanMenuItem::kSetProvider);
  }
  return m;
}

ContextMenu CVortanView::TpContextMenu() const {
  ContextMenu m;
  m.enabled.assign(kTpMenuItems, true);
  m.favoriteTexts = list_.FavoriteNames();
  m.shown = ShownDeliveryType() != kDvbT;
  auto off = [&m](TpMenuItem i) { m.enabled[size_t(i)] = false; };
  if (!ws_.loaded) {
    off(TpMenuItem::kAddTp);
    off(TpMenuItem::kEditTp);
    off(TpMenuItem::kDeleteTp);
  }
  const std::vector<int> rows = ui_.SelectedRows(ListId::kTransponders);
  if (rows.empty()) {
    off(TpMenuItem::kEditTp);
    off(TpMenuItem::kDeleteTp);
  } else if (rows.size() > 1) {
    off(TpMenuItem::kEditTp);
  }
  return m;
}

}  // namespace pelagor
