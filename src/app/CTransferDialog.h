#pragma once
// "Data Transfer...": the face of one ZMODEM session. The worker thread calls the
// TransferUi methods; each only posts its update to the dialog's thread, so the
// widgets are touched there alone. Stop, Esc, Enter and the close box all ask the
// session to stop; the dialog closes when the worker says it has finished.

#include <QDialog>
#include <functional>

#include "Zmodem32/TransferUi.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace pelagor {

class CTransferDialog : public QDialog, public TransferUi {
  Q_OBJECT
 public:
  static constexpr const char* kTitle = "Data Transfer...";
  static constexpr const char* kLabelText = "File Name";
  static constexpr const char* kStopText = "&Stop";

  explicit CTransferDialog(QWidget* parent = nullptr);
  ~CTransferDialog() override;

  // TransferUi: called from the worker thread.
  void SetCaption(const std::string& text) override;
  void SetLabel(const std::string& text) override;
  void SetFileName(const std::string& text) override;
  void SetStatusLine(const std::string& text) override;
  void SetProgressRange(int low, int high) override;
  void SetProgressPos(int pos) override;
  void EndDialog() override;
  // TransferUi: the modal loop, on the dialog's thread.
  void RunModal(CTransferDlg& dlg) override;

  QLabel* LabelField() const { return label_; }
  QLabel* FileNameField() const { return fileName_; }
  QLabel* StatusField() const { return status_; }
  QProgressBar* ProgressBar() const { return progress_; }
  QPushButton* StopButton() const { return stop_; }

  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Runs fn on the dialog's thread.
  void Post(std::function<void()> fn);
  void OnStop();
  void Reset();

  QLabel* label_ = nullptr;
  QLabel* fileName_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* stop_ = nullptr;
  CTransferDlg* session_ = nullptr;  // while RunModal runs
  bool ending_ = false;
};

}  // namespace pelagor
