#pragma once
// Everything the editor asks of a screen. CVortanView owns all state and
// calls these to show it; the form that implements them holds none. Texts
// passed here are UTF-8, already decoded from the record bytes by the view.

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pelagor {

class ModelSelectDlg;
class CAddChanDlg;
class CEditChanDlg;
class CAddSatDlg;
class CAddTPDlg;
class CAddCableTP;
class CFavNameDlg;
class CProviderSelectDlg;
class CComPortDlg;
class CSTBInfoDlg;
class TransferUi;
class CApplyOrderDlg;
class CReferenceReportDlg;
class CImportChannelsDlg;

// The controls of the form, named after what the user sees.
enum class ControlId {
  // Delivery-type radio buttons per tuner.
  kTuner1DvbS,
  kTuner1DvbT,
  kTuner1DvbC,
  kTuner2DvbS,
  kTuner2DvbT,
  kTuner2DvbC,
  // "Tuner1" / "Tuner2" check buttons.
  kTuner1,
  kTuner2,
  // "TV" / "Radio".
  kTv,
  kRadio,
  // Satellite group: combo, "Sort" group with "Alphabet" / "Location",
  // and the "Add" / "Delete" / "Edit" buttons.
  kSatelliteGroup,
  kSatelliteCombo,
  kSortGroup,
  kAlphabet,
  kLocation,
  kSatAdd,
  kSatDelete,
  kSatEdit,
  // Filter combos and the "Favorite" (rename) button.
  kFavoriteCombo,
  kFavoriteButton,
  kCasCombo,
  kSatFilterCombo,  // "SAT": "All" / "Current"
  kTpFilterCombo,   // "TP": "All" / "Current"
  // The two lists and their group boxes ("Transponder", "Channels").
  kTransponderGroup,
  kTpList,
  kChannelsGroup,
  kChannelList,
};

enum class ListId { kChannels, kTransponders };

enum class ComboId { kSatellite, kFavorite, kCas, kSatFilter, kTpFilter };

struct ListColumn {
  std::string heading;
  int width = 0;  // pixels
};

enum class MessageIcon { kNone, kStop, kQuestion, kWarning, kInformation };
enum class MessageButtons { kOk, kOkCancel, kYesNo, kYesNoCancel };
enum class MessageAnswer { kOk, kCancel, kYes, kNo };

enum class DialogAnswer { kOk, kCancel };

// "Save changes to the channel list?" before unsaved work would be replaced.
enum class SaveChangesAnswer { kSave, kDiscard, kCancel };

// The dialog to run, as a pointer to its model (the variant index is the
// kind). The caller fills the model before, and reads it after kOk.
using DialogModel = std::variant<ModelSelectDlg*, CAddChanDlg*, CEditChanDlg*, CAddSatDlg*, CAddTPDlg*, CAddCableTP*,
                                 CFavNameDlg*, CProviderSelectDlg*, CComPortDlg*, CSTBInfoDlg*>;

enum class DialogKind {
  kModelSelect,
  kAddChannel,
  kEditChannel,
  kSatellite,
  kSatelliteTp,
  kCableTp,
  kFavoriteName,
  kProviderSelect,
  kPortSelect,    // "Select COM Port..."
  kReceiverInfo,  // "Information"
};

[[nodiscard]] inline DialogKind KindOf(const DialogModel& m) { return static_cast<DialogKind>(m.index()); }

// The reference-list dialogs: options of Apply Order, the report after it or
// after an import, and the choice of channels to import.
using ReferenceDialogModel = std::variant<CApplyOrderDlg*, CReferenceReportDlg*, CImportChannelsDlg*>;

// A file chooser. filter is in the "Text|pattern|Text|pattern|...|" form,
// each description followed by its pattern.
struct FileRequest {
  std::string defaultExtension;  // "bin"
  std::string initialName;       // "*.bin"
  std::string filter;
  bool hideReadOnly = true;
  bool overwritePrompt = true;
};

class ViewUi {
 public:
  virtual ~ViewUi() = default;

  // Channel list. Columns are set once; the rows are always rowCount rows
  // whose texts the screen reads back with CVortanView::ChannelCell(row, col).
  virtual void SetChannelColumns(const std::vector<ListColumn>& columns) = 0;
  // The row set changed (rebuild): drop everything cached, show rowCount rows,
  // redraw once.
  virtual void ResetChannelList(int rowCount) = 0;
  // Same rows, new texts (refresh): redraw them, keep the selection.
  virtual void RefreshChannelList() = 0;

  // TP list: its columns and every cell text, replaced as a whole.
  virtual void FillTpList(const std::vector<ListColumn>& columns,
                          const std::vector<std::vector<std::string>>& rows) = 0;

  // Selection of either list: exactly these rows (ascending) become
  // selected; the first one is focused and scrolled into view. Empty clears.
  virtual void SelectRows(ListId list, const std::vector<int>& rows) = 0;
  // Selected rows, ascending; empty when none.
  [[nodiscard]] virtual std::vector<int> SelectedRows(ListId list) const = 0;

  // Combos: replace the items; select one (-1: nothing selected).
  virtual void FillCombo(ComboId combo, const std::vector<std::string>& items) = 0;
  virtual void SelectComboItem(ComboId combo, int index) = 0;

  // Buttons and groups.
  virtual void SetCheck(ControlId control, bool checked) = 0;
  virtual void Enable(ControlId control, bool enabled) = 0;
  virtual void SetCaption(ControlId control, const std::string& text) = 0;

  virtual void SetWindowTitle(const std::string& text) = 0;

  // Modal message box.
  virtual MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) = 0;

  // "Save changes to the channel list?" with Save, Discard and Cancel. A
  // screen that cannot ask keeps the work: Cancel.
  [[nodiscard]] virtual SaveChangesAnswer AskSaveChanges() { return SaveChangesAnswer::kCancel; }

  // Modal dialog over its model.
  [[nodiscard]] virtual DialogAnswer RunDialog(DialogModel model) = 0;

  // File choosers: the chosen full path, or nothing when cancelled.
  [[nodiscard]] virtual std::optional<std::string> AskOpenFile(const FileRequest& request) = 0;
  [[nodiscard]] virtual std::optional<std::string> AskSaveFile(const FileRequest& request) = 0;

  // The transfer dialog a ZMODEM session shows while it runs; nullptr: no
  // dialog, the command just waits for the session to end.
  [[nodiscard]] virtual TransferUi* TransferDialog() { return nullptr; }

  // Modal reference-list dialog over its model; a screen without these
  // dialogs answers Cancel.
  [[nodiscard]] virtual DialogAnswer RunReferenceDialog(ReferenceDialogModel) { return DialogAnswer::kCancel; }
};

}  // namespace pelagor
