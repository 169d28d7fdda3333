// Transfer commands: files and the workspace to the receiver, the receiver's
// channel data into the workspace. Each runs one ZMODEM session behind the
// transfer dialog and ends in one message box.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "Zmodem32/ReceiverTransfer.h"
#include "files/DownloadImage.h"
#include "files/WorkspaceLoad.h"
#include "view/CVortanView.h"

namespace pelagor {

namespace {

size_t NameStart(const std::string& path) {
  const size_t p = path.find_last_of("\\/");
  return p == std::string::npos ? 0 : p + 1;
}

}  // namespace

void CVortanView::SendFileToReceiver(const std::string& folder, const std::string& fileName) {
  CSerialPort& port = link_.Port();
  // The file goes by its name from its folder, which becomes current once the
  // file has passed the open check and the receiver has been told. Should the
  // folder not become current, the whole path is sent instead of whatever
  // file of that name the old current directory holds.
  const auto enterFolder = [&folder, &fileName] {
    if (folder.empty()) return fileName;
    std::error_code ec;
    std::filesystem::current_path(folder, ec);
    return ec ? folder + fileName : fileName;
  };
  const TransferOutcome outcome =
      DownloadToReceiver(port, true, folder + fileName, ui_.TransferDialog(), port.Timing(), enterFolder);
  ui_.ShowMessage(outcome.message, outcome.Succeeded() ? MessageIcon::kInformation : MessageIcon::kStop,
                  MessageButtons::kOk);
}

void CVortanView::ReceiveIntoWorkspace(bool announce) {
  // The received data replace the workspace: unsaved work is asked about
  // before the receiver is told anything.
  if (!SaveModified()) return;
  CSerialPort& port = link_.Port();
  const TransferOutcome outcome = UploadFromReceiver(port, announce, ui_.TransferDialog(), port.Timing());
  if (!outcome.Succeeded()) {
    ui_.ShowMessage(outcome.message, MessageIcon::kStop, MessageButtons::kOk);
    return;
  }
  // No bytes: nothing to load and nothing to say. Bytes the reader rejects
  // leave the workspace as it was, and the user is told.
  if (!outcome.data.empty() && !LoadReceivedImage(outcome.data))
    ui_.ShowMessage(std::string(kInvalidFileFormatText), MessageIcon::kStop, MessageButtons::kOk);
}

void CVortanView::OnDownloadFile() {
  const std::optional<std::string> path = ui_.AskOpenFile(OpenFileRequest());
  if (!path) return;
  // This command's own file: the workspace's path, name and folder stay. A
  // file that cannot be opened is refused before anything is sent.
  const size_t start = NameStart(*path);
  SendFileToReceiver(path->substr(0, start), path->substr(start));
}

void CVortanView::OnUploadFile() { ReceiveIntoWorkspace(false); }

void CVortanView::OnUploadToWorkspace() { ReceiveIntoWorkspace(true); }

void CVortanView::OnDownloadWorkspace() {
  if (!file_.fileOpen) {
    OnFileSaveAs();
  } else if (st_.modified) {
    // A failed write shows "File Save Error !!!" and clears FileOpen: the
    // stale file on disk is then not sent as if it were the workspace.
    static_cast<void>(WriteWorkspace());  // the check below reads FileOpen
  }
  if (!file_.fileOpen) return;
  SendWorkspaceToReceiver();
}

void CVortanView::SendWorkspaceToReceiver() {
  const std::vector<uint8_t> bytes = BuildDownloadImage(ws_);
  // Usually the file holds exactly the workspace and goes itself. When it
  // does not (changed on disk since, or a file this writer lays out
  // differently), the workspace goes from a scratch copy under the same name.
  std::vector<uint8_t> onDisk;
  if (ReadWholeFile(file_.path, onDisk) && onDisk == bytes) {
    SendFileToReceiver(file_.folder, file_.fileName);
    return;
  }
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path folder;
  if (!bytes.empty()) {
    const fs::path temp = fs::temp_directory_path(ec);
    std::random_device random;
    for (int attempt = 0; !ec && folder.empty() && attempt < 16; ++attempt) {
      const fs::path candidate = temp / ("pelagor-send-" + std::to_string(random()));
      if (fs::create_directory(candidate, ec)) folder = candidate;
    }
  }
  const fs::path scratch = folder / file_.fileName;
  bool written = false;
  if (!folder.empty()) {
    std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    written = bool(out);
  }
  if (written) {
    // By its whole path: the current directory must not end up in a folder
    // that is removed next.
    SendFileToReceiver("", scratch.string());
  } else {
    ui_.ShowMessage("Download Failed !", MessageIcon::kStop, MessageButtons::kOk);
  }
  if (!folder.empty()) fs::remove_all(folder, ec);
}

}  // namespace pelagor
