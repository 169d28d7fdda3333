#pragma once
// Command identifiers of the menus, the toolbar and the view's command map,
// the items of the view's two context menus, and the enabling and prompts of
// the link commands.

#include <string_view>

namespace pelagor {

enum CommandId : int {
  kIdAppTitle = 57344,  // string id of the application title
  kIdEditUndo = 57643,
  kIdEditRedo = 57644,
  kIdFileNew = 57600,
  kIdFileOpen = 57601,
  kIdFileSave = 57603,
  kIdFileSaveAs = 57604,
  kIdAppAbout = 57664,
  kIdAppExit = 57665,
  kIdViewToolbar = 59392,
  kIdViewStatusBar = 59393,
  kIdLinkConnect = 32793,
  kIdLinkDisconnect = 32794,
  kIdDownloadFile = 32795,
  kIdUploadFile = 32796,
  kIdDownloadWorkspace = 32803,
  kIdUploadToWorkspace = 32805,
  kIdReceiverInfo = 32809,
  // Beyond the receiver's own editor.
  kIdMoveUp = 32900,
  kIdMoveDown = 32901,
  kIdFind = 32902,
  kIdFileExport = 32903,
  kIdApplyOrder = 32920,      // "Apply Order from Reference List..."
  kIdImportChannels = 32921,  // "Import Channels..."
};

// Popup "CHAN" of the channel list, in menu order.
enum class ChanMenuItem : int {
  kAddChannel,
  kEditChannel,
  kDeleteChannel,
  kFav1,
  kFav2,
  kFav3,
  kFav4,
  kFav5,
  kFav6,
  kFav7,
  kFav8,
  kLock,
  kUnlock,
  kReassignChannelNo,
  kCutChannel,
  kPasteChannel,
  kSortByChanNo,
  kSortByName,
  kSortBySatellite,
  kSortByProvider,
  kSetProvider,
};
inline constexpr int kChanMenuItems = 21;

// Popup "TP" of the TP list, in menu order.
enum class TpMenuItem : int { kAddTp, kEditTp, kDeleteTp, kSortByFrequency };
inline constexpr int kTpMenuItems = 4;

// Resource texts ("&" marks the mnemonic, the key follows a tab). The
// favourite items are shown with the favourite names instead.
[[nodiscard]] std::string_view ChanMenuText(ChanMenuItem item);
[[nodiscard]] std::string_view TpMenuText(TpMenuItem item);

class CLinkPort;
// Connect while not connected, Disconnect and Receiver Information while
// connected; false for any other id.
[[nodiscard]] bool LinkCommandEnabled(const CLinkPort& link, int id);
// Status-bar prompt and tooltip of a link command ("prompt\ntip"); empty
// for none.
[[nodiscard]] std::string_view LinkCommandPrompt(int id);

}  // namespace pelagor
