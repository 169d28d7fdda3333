#pragma once
// The channel editor: owns the workspace, the filter and selection state and
// the list contents, and carries out every command. It shows itself only
// through ViewUi, so it runs the same under the Qt form, the CLI and tests.
// Results: commands report to the user through ViewUi and return nothing;
// queries return values, and the steps that can fail (SaveModified, OpenFile,
// LoadReceivedImage, the recovery copy) return true when done. None of them
// may be ignored.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "db/DbOps.h"
#include "files/RecoveryCopy.h"
#include "files/Workspace.h"
#include "link/CLinkPort.h"
#include "view/ChannelList.h"
#include "view/CommandIds.h"
#include "view/UndoHistory.h"
#include "view/ViewUi.h"

namespace pelagor {

// Number of rows of the fixed terrestrial channel plan (channels 5-12, 21-69).
inline constexpr int kDvbTPlanRows = 57;
// Frequency in kHz of a row of that plan.
[[nodiscard]] int DvbTPlanChannel(int row);
[[nodiscard]] int DvbTPlanFrequency(int row);

// How FillChannelList ends: the rows it selects after the rebuild, or a
// refresh that keeps the rows and their selection and redraws the texts.
struct ChannelFill {
  enum class Kind { kSelectRow, kSelectLast, kSelectCut, kRefresh };
  Kind kind = Kind::kSelectRow;
  int row = 0;  // kSelectRow: 1-based; past the end the last row, 0 none

  [[nodiscard]] static constexpr ChannelFill SelectRow(int n) { return {Kind::kSelectRow, n}; }
  [[nodiscard]] static constexpr ChannelFill SelectNothing() { return {Kind::kSelectRow, 0}; }
  [[nodiscard]] static constexpr ChannelFill SelectLast() { return {Kind::kSelectLast, 0}; }
  // The rows of the cut channels.
  [[nodiscard]] static constexpr ChannelFill SelectCut() { return {Kind::kSelectCut, 0}; }
  [[nodiscard]] static constexpr ChannelFill Refresh() { return {Kind::kRefresh, 0}; }
};

// The "Location" / "Alphabet" buttons: the order of the satellite combo.
enum class SatelliteOrder : int { kLocation = 0, kAlphabet = 1 };

// Tuner, satellite and selection state of the view (the channel filter is
// the channel list's), with the initial values of a new view.
struct ViewState {
  std::array<int, 2> tunerType{kDvbS, kDvbS};
  int tunerSelection = 1;  // 1 tuner 1, 2 tuner 2, 3 both
  SatelliteOrder satelliteOrder = SatelliteOrder::kLocation;
  int currentCatalogueEntry = 0;  // -1: not chosen yet (just loaded)
  int satComboSelection = 0;
  std::array<int, kMaxSats> catalogueOrder{};
  int currentTpRow = 0;
  int currentTpItem = 0;
  uint8_t currentSatellite = kNoSat;
  uint16_t currentTransponder = kNoTp;
  std::vector<uint16_t> cutList;
  bool modified = false;

  ViewState();
};

// The workspace file.
struct FileState {
  std::string path;
  std::string fileName;
  std::string folder;
  bool fileOpen = false;
};

// Enabling of the context-menu items, with the texts of the favourite items.
struct ContextMenu {
  bool shown = true;
  std::vector<bool> enabled;
  std::array<std::string, kFavLists> favoriteTexts;
};

class CVortanView {
 public:
  // timing: the link port's waits (tests shorten them).
  explicit CVortanView(ViewUi& ui, LinkTiming timing = {});

  // First display: columns, combos, checks and the title.
  void OnInitialUpdate();

  [[nodiscard]] Workspace& GetWorkspace() { return ws_; }
  [[nodiscard]] const Workspace& GetWorkspace() const { return ws_; }
  [[nodiscard]] DbImage& Image() { return *ws_.image; }
  [[nodiscard]] const DbImage& Image() const { return *ws_.image; }
  [[nodiscard]] const ViewState& State() const { return st_; }
  [[nodiscard]] const FileState& File() const { return file_; }
  [[nodiscard]] bool Loaded() const { return ws_.loaded; }
  [[nodiscard]] bool Modified() const { return st_.modified; }

  // The database operations with the view's tuner and delivery type.
  [[nodiscard]] DbOps Ops();

  // Takes over a workspace read or built elsewhere as a load does: it is
  // marked loaded, the lists show it, and the undo history starts again.
  void LoadWorkspace(Workspace ws);

  // ---- Lists ----
  // The channel list: its filter, rows, favourite names and cell texts.
  [[nodiscard]] const ChannelList& Channels() const { return list_; }
  [[nodiscard]] int RowCount() const { return list_.RowCount(); }
  // Channel index shown in a row, 0xFFFF past the last row.
  [[nodiscard]] uint16_t ChannelOfRow(int row) const { return list_.ChannelOfRow(row); }
  // Cell text, computed from the image on demand.
  [[nodiscard]] std::string ChannelCell(int row, int column) const { return list_.Cell(row, column); }

  [[nodiscard]] int CurrentDeliveryType();
  // Delivery type of the shown tuner without the repair of the selection.
  [[nodiscard]] int ShownDeliveryType() const;
  void FillChannelList(ChannelFill fill);
  void FillTransponderList(int hint);
  void FillSatelliteCombo();
  void FillFavoriteCombo();
  void ResolveCurrentTransponder();
  [[nodiscard]] int CatalogueItemOfRow(int row) const;
  // 0 and the TP of the first selected TP-list row (DVB-T, DVB-C), 1 none.
  [[nodiscard]] int TransponderOfSelectedRow(uint16_t& tp);
  void OnTunerChanged();
  // What follows every load of channel data (file or receiver), after the
  // shared load step (ApplyDownloadImage / LoadWorkspaceFile) has parsed and
  // merged: the lists start again from the first channel's satellite.
  void AfterLoad();

  // ---- Notifications of the controls ----
  void OnDeliveryTypeButton(int tuner, int type);  // tuner 0 or 1
  void OnTuner1Button();
  void OnTuner2Button();
  void OnServiceTypeButton(ServiceType type);
  void OnCasComboChanged(int selection);
  void OnFavoriteComboChanged(int selection);
  void OnSatFilterChanged(int selection);
  void OnTpFilterChanged(int selection);
  void OnSatelliteComboChanged(int selection);
  void OnSatelliteOrderButton(SatelliteOrder order);
  void OnTpListClick();

  // ---- Channel commands ----
  // Every item of the channel list's popup "CHAN", and its keys: Insert is
  // kAddChannel, Enter and double-click kEditChannel, Del kDeleteChannel.
  void OnChannelMenuCommand(ChanMenuItem item);
  // Cut Channel (and the start of a drag): remember the selected rows' channels.
  void OnCutChannel();
  // The form's "Favorite" button: rename the shown favourite list.
  void OnFavoriteButton();
  // The drag-and-drop list control: a drag begins on a list, and its rows
  // are dropped at a 1-based position. Only the channel list acts.
  void OnListBeginDrag(ListId list);
  void OnListDrop(ListId list, int dropPosition);
  // Moves the CutList channels before the channel shown in targetRow.
  void MoveCutChannels(int targetRow);
  // The items one by one (OnChannelMenuCommand calls these).
  void OnAddChannel();
  void OnEditChannel();
  void OnDeleteChannel();
  void OnFavoriteItem(int list);  // 1..8: put the selection into that list
  void OnLockChannels(bool lock);
  void OnReassignChannelNo();
  void OnPasteChannel();
  void OnSortChannels(ChanMenuItem sort);  // one of the four sort items
  void OnSetProvider();

  // ---- Transponder commands ----
  // The TP popup and the TP list's keys: Insert -> kAddTp, Enter and
  // double-click -> kEditTp, Delete -> kDeleteTp. Nothing for DVB-T.
  void OnTpMenuCommand(TpMenuItem item);

  // ---- Satellite commands ----
  // The "Add" / "Delete" / "Edit" buttons under the satellite combo: they
  // change the catalogue (Delete also the image) and leave Modified alone.
  void OnSatAdd();
  void OnSatDelete();
  void OnSatEdit();

  // ---- Workspace file commands ----
  // Before unsaved work is replaced (Open, a recent file, New, an upload into
  // the workspace, leaving): asks "Save changes to the channel list?". True
  // when the command may go on: nothing unsaved, Discard, or a Save that
  // wrote the file. Cancel, and a Save that failed or was cancelled, are false.
  [[nodiscard]] bool SaveModified();
  void OnFileNew();
  void OnFileOpen();
  void OnFileSave();
  void OnFileSaveAs();
  // Steps 3-5 of Open for a chosen path (also the command-line file).
  // True when the file was taken over.
  [[nodiscard]] bool OpenFile(const std::string& path);
  // Upload File / Upload to Workspace after the transfer: the received
  // bytes are read into the workspace as Open reads a file. They are not the
  // open file: Modified is set and FileOpen and the path are cleared (the
  // file name and folder stay only as Save As's suggestion), so a later Save
  // asks for a file. No bytes, or bytes the reader rejects, change nothing
  // and show nothing. True when the data were taken over.
  [[nodiscard]] bool LoadReceivedImage(const std::vector<uint8_t>& bytes);
  void UpdateTitle();
  // The request Save As shows: after received data, the previous file's
  // folder and name are proposed.
  [[nodiscard]] FileRequest SaveAsRequest() const;

  // ---- Recovery of unsaved work ----
  // The unsaved workspace as a recovery copy (savedAt is left to the caller);
  // false when there is nothing unsaved to keep.
  [[nodiscard]] bool FillRecoveryCopy(RecoveryCopy& copy) const;
  // Takes a recovery copy over as a modified workspace with its original
  // file; false when its image is not readable (nothing changes then).
  [[nodiscard]] bool OpenRecoveryCopy(const RecoveryCopy& copy);
  // Grows with every change of the workspace (edits, undo, redo, loads), so
  // a keeper of copies can tell whether its last copy is still current.
  [[nodiscard]] uint64_t ChangeCount() const { return changeCount_; }
  // How every channel and TP edit ends: set Modified, update the title.
  void MarkModified();
  // File "Export Channel List...": the list as shown, its columns and rows,
  // to a CSV file.
  void OnFileExport();
  [[nodiscard]] std::string ChannelListCsv() const;
  [[nodiscard]] static FileRequest ExportFileRequest();
  [[nodiscard]] static FileRequest OpenFileRequest();
  [[nodiscard]] static FileRequest SaveFileRequest();
  // Folder the side file "dump_sat_info.bin" is written to; empty: the
  // current directory.
  void SetSideFileFolder(std::string folder) { sideFileFolder_ = std::move(folder); }

  // ---- Reference lists ----
  // File "Apply Order from Reference List...": another list's order,
  // numbers, favourites, locks and names carried over, one undo step.
  void OnApplyOrderFromReference();
  // File "Import Channels...": channels of another list the workspace lacks.
  void OnImportChannels();
  [[nodiscard]] static FileRequest ReferenceFileRequest();

  // ---- Find and Move ----
  // The search field's text: narrows the channel list like the other filters.
  void OnFindTextChanged(const std::string& text);
  // Move the selected channels one row up or down among the shown ones.
  void OnMoveUp();
  void OnMoveDown();
  [[nodiscard]] bool CanMoveSelection(int direction) const;  // -1 up, +1 down

  // ---- Undo and Redo ----
  // Step back or forward through the workspace edits. Back at the state last
  // saved (or opened), Modified is cleared again.
  void OnEditUndo();
  void OnEditRedo();
  [[nodiscard]] bool CanUndo() const { return history_.CanUndo(); }
  [[nodiscard]] bool CanRedo() const { return history_.CanRedo(); }
  [[nodiscard]] const UndoHistory& History() const { return history_; }

  // ---- Command enabling ----
  [[nodiscard]] bool IsCommandEnabled(int id) const;
  [[nodiscard]] ContextMenu ChannelContextMenu() const;
  [[nodiscard]] ContextMenu TpContextMenu() const;
  // ---- Link commands ----
  [[nodiscard]] CLinkPort& Link() { return link_; }
  [[nodiscard]] bool Connected() const { return link_.Connected(); }
  void OnLinkConnect();
  void OnLinkDisconnect();
  void OnReceiverInfo();

  // ---- Transfer commands ----
  // Download File: a file of the user's choice to the receiver.
  void OnDownloadFile();
  // Upload File: the receiver's data, sent without announcement, into the workspace.
  void OnUploadFile();
  // Download Workspace: the workspace (saved first) to the receiver.
  void OnDownloadWorkspace();
  // Upload to Workspace: announced upload of the receiver's channel data.
  void OnUploadToWorkspace();

 private:
  // Brackets a command that may change the workspace: when the outermost
  // scope ends, what changed becomes one undo step.
  class EditScope {
   public:
    explicit EditScope(CVortanView& view);
    ~EditScope();
    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;

   private:
    CVortanView& view_;
  };
  [[nodiscard]] std::vector<uint8_t> UndoSnapshot() const;
  void RestoreUndoSnapshot(const std::vector<uint8_t>& bytes, const SatCatalogue& catalogue);
  void ResetUndoHistory();
  void CommitEdit();
  void ShowRestoredState();

  void OnMoveSelection(int direction);

  void SetTunerChecks();
  void ApplyChannelSelection(ChannelFill fill);
  // What the satellite and TP filters compare with; selectedTp is the TP of
  // the selected TP-list row (DVB-T, DVB-C), kNoTp when there is none.
  [[nodiscard]] ChannelPlace CurrentPlace(uint16_t selectedTp) const;
  void ReportBrokenRow(uint16_t c, bool checkTp);
  [[nodiscard]] bool WriteWorkspace();
  void TakeOverPath(const std::string& path);
  [[nodiscard]] std::string SideFilePath() const;
  // CatalogueOrder in the combo's order (location or alphabet).
  void SortCatalogueOrder();
  // TP commands, one per delivery type.
  void AddSatelliteTp();
  void AddCableTp();
  void EditSatelliteTp();
  void EditCableTp();
  void DeleteSatelliteTps();
  void DeleteCableTps();
  void SortSatelliteTps();
  void SortCableTps();
  // The image satellite a TP edit works on: the one of catalogue entry k,
  // created when missing (named "DVB-C" when the catalogue has no entry k
  // and cable is shown). kNoSat when the image has no room.
  [[nodiscard]] uint8_t SatelliteForEntry(int k);
  // 1-based row of a cable TP in the DVB-C TP list, 0 when not shown.
  [[nodiscard]] int CableRowOfTp(uint16_t t) const;
  // Cut channels that a delete has removed from the image.
  void DropDeletedCutChannels();
  // Channel commands.
  [[nodiscard]] std::vector<uint16_t> SelectedChannels() const;
  // Deletes an image satellite of another delivery system under the index;
  // true when one went.
  [[nodiscard]] bool RepairSatellite(int catalogueIndex);
  void AddSatelliteChannel();
  void AddTerrestrialChannel();
  void AddCableChannel();
  void FillNewChannel(uint16_t c, uint16_t t, const CAddChanDlg& dlg);
  void EndAddChannel();
  void SendFileToReceiver(const std::string& folder, const std::string& fileName);
  // The workspace's bytes as Save writes them, sent under its file name.
  void SendWorkspaceToReceiver();
  void ReceiveIntoWorkspace(bool announce);
  // Runs the add or edit dialog until its name fits the channel's character
  // table (an unchanged name always does) or the user cancels.
  [[nodiscard]] bool RunChannelDialog(DialogModel dlg, const std::string& name, const std::string& unchanged,
                                      int table);

  ViewUi& ui_;
  Workspace ws_;
  ViewState st_;
  FileState file_;
  ChannelList list_{ws_};
  CLinkPort link_;
  std::string sideFileFolder_;
  UndoHistory history_;
  int editDepth_ = 0;
  uint64_t changeCount_ = 0;
  // The next write over an existing file keeps its old content as NAME.bak
  // first: once after the file was opened or chosen in Save As.
  bool backupDue_ = false;
};

}  // namespace pelagor
