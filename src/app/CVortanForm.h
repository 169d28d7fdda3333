#pragma once
// The editor form: the controls and the two lists. It implements ViewUi for
// the editor (CVortanView, which it owns) and forwards what the user does;
// it keeps no editor state of its own.

#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>

#include "app/CDragDropListCtrl.h"
#include "app/CModalHost.h"
#include "view/CommandIds.h"
#include "view/ViewUi.h"

class QAbstractButton;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QSplitter;
class QTableView;

namespace pelagor {

class CChannelListModel;
class CComPortDlg;
class CSimulatedReceiver;
class CTpListModel;
class CTransferDialog;
class CVortanView;

class CVortanForm : public QWidget, public ViewUi {
  Q_OBJECT
 public:
  explicit CVortanForm(QWidget* parent = nullptr);
  ~CVortanForm() override;

  // First display (columns, combos, checks, title); call once the form sits
  // in its window.
  void InitialUpdate();

  CVortanView& View() { return *view_; }
  const CVortanView& View() const { return *view_; }
  // Replaces the message boxes, dialogs and file choosers (tests).
  void SetModalHost(std::unique_ptr<CModalHost> host);
  CModalHost& ModalHost() { return *modal_; }
  // The receiver the port dialog offers beside the real ports.
  CSimulatedReceiver& SimulatedReceiver() { return *sim_; }
  // After a link command: a simulated receiver outlives no link.
  void LinkChanged();

  QWidget* Control(ControlId id) const;
  QComboBox* Combo(ComboId id) const;
  CDragDropListCtrl* ChannelTable() const { return channels_; }
  QTableView* TpTable() const { return tps_; }
  // The left column (tuners, satellite, TP list) beside the rest.
  QSplitter* Splitter() const { return splitter_; }
  static constexpr int kLeftColumnWidth = 430;
  static constexpr const char* kSplitterKey = "Settings/Splitter";
  // The search field above the channel list.
  QLineEdit* FindField() const { return find_; }
  // Ctrl+F: the search field takes the focus with its text selected.
  void FocusFind();
  // The channel list's popup "CHAN" as the view enables it, each item
  // wired to its command; nothing when the view shows no menu.
  std::unique_ptr<QMenu> BuildChannelMenu();
  // Bit k set: every selected channel is in favourite list k+1.
  uint32_t FavoritesOfSelection() const;

  // ViewUi
  void SetChannelColumns(const std::vector<ListColumn>& columns) override;
  void ResetChannelList(int rowCount) override;
  void RefreshChannelList() override;
  void FillTpList(const std::vector<ListColumn>& columns, const std::vector<std::vector<std::string>>& rows) override;
  void SelectRows(ListId list, const std::vector<int>& rows) override;
  std::vector<int> SelectedRows(ListId list) const override;
  void FillCombo(ComboId combo, const std::vector<std::string>& items) override;
  void SelectComboItem(ComboId combo, int index) override;
  void SetCheck(ControlId control, bool checked) override;
  void Enable(ControlId control, bool enabled) override;
  void SetCaption(ControlId control, const std::string& text) override;
  void SetWindowTitle(const std::string& text) override;
  MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
  DialogAnswer RunDialog(DialogModel model) override;
  DialogAnswer RunReferenceDialog(ReferenceDialogModel model) override { return modal_->RunReferenceDialog(model); }
  std::optional<std::string> AskOpenFile(const FileRequest& request) override;
  std::optional<std::string> AskSaveFile(const FileRequest& request) override;
  SaveChangesAnswer AskSaveChanges() override;
  TransferUi* TransferDialog() override;

 signals:
  // The window title the editor asked for.
  void TitleChanged(const QString& title);

 private:
  void BuildControls();
  void ConnectControls();
  void SetTabOrder();
  void ConnectChannelKeys();
  void RunChannelCommand(ChanMenuItem item);
  QTableView* ListOf(ListId list) const;
  QAbstractButton* Button(ControlId id) const;
  QAbstractButton* AddButton(ControlId id, QAbstractButton* button);
  void ShowChannelMenu(const QPoint& pos);
  void ShowTpMenu(const QPoint& pos);
  DialogAnswer RunPortDialog(CComPortDlg& dlg);
  void ConnectTpAndSatelliteCommands();

  std::unique_ptr<CModalHost> modal_;
  CSimulatedReceiver* sim_ = nullptr;
  CTransferDialog* transfer_ = nullptr;  // made on first use, one for every transfer
  std::unique_ptr<CVortanView> view_;
  CChannelListModel* channelModel_ = nullptr;
  CTpListModel* tpModel_ = nullptr;
  CDragDropListCtrl* channels_ = nullptr;
  QLineEdit* find_ = nullptr;
  QTableView* tps_ = nullptr;
  QSplitter* splitter_ = nullptr;
  std::map<ControlId, QWidget*> controls_;
  std::map<ComboId, QComboBox*> combos_;
};

}  // namespace pelagor
