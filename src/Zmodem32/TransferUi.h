#pragma once
// What a running transfer shows: the interface the Qt dialog and the CLI implement.

#include <string>

namespace pelagor {

class CTransferDlg;

// What a running ZMODEM session shows. Every method except RunModal is called from the
// worker thread and must be safe there.
class TransferUi {
 public:
  virtual ~TransferUi() = default;

  virtual void SetCaption(const std::string& text) = 0;
  virtual void SetLabel(const std::string& text) = 0;
  virtual void SetFileName(const std::string& text) = 0;
  virtual void SetStatusLine(const std::string& text) = 0;
  virtual void SetProgressRange(int low, int high) = 0;
  virtual void SetProgressPos(int pos) = 0;
  // The session has finished: end the dialog.
  virtual void EndDialog() = 0;
  // Protocol steps; not shown by the dialog, useful for traces.
  virtual void StatusStep(const std::string&) {}
  // Runs the modal loop on the calling thread until EndDialog, or until the user closes
  // the dialog (which should call dlg.Stop()). Returning before the worker has finished
  // counts as a stop: the host then stops the session and waits for the worker. Without
  // a loop of its own a UI just waits for the worker.
  virtual void RunModal(CTransferDlg& dlg);
};

}  // namespace pelagor
