// Workspace file commands: New, Open, Save, Save As, and the window title.

#include <filesystem>
#include <fstream>
#include <system_error>

#include "files/DownloadImage.h"
#include "files/FileBackup.h"
#include "files/WorkspaceLoad.h"
#include "view/CVortanView.h"
#include "view/CsvWriter.h"
#include "view/ModelSelectDlg.h"
#include "view/WindowTitle.h"

namespace pelagor {

namespace {

// The name part of a path: after the last separator (backslash as the
// receiver's editor used, slash for POSIX paths).
size_t NameStart(const std::string& path) {
  const size_t p = path.find_last_of("\\/");
  return p == std::string::npos ? 0 : p + 1;
}

}  // namespace

FileRequest CVortanView::OpenFileRequest() {
  return {"bin", "*.bin",
          "Download image(*.bin)|*.bin|Channel template(*.csv)|*.csv|Main Only(*.rom)|*.rom|All files(*.*)|*.*|", true,
          true};
}

FileRequest CVortanView::SaveFileRequest() {
  return {"bin", "*.bin", "Binary Data(*.bin)|*.bin|All Files (*.*)|*.*||", true, true};
}

FileRequest CVortanView::SaveAsRequest() const {
  FileRequest r = SaveFileRequest();
  if (!file_.fileOpen && !file_.fileName.empty()) r.initialName = file_.folder + file_.fileName;
  return r;
}

void CVortanView::UpdateTitle() {
  TitleState t;
  t.loaded = ws_.loaded;
  t.fileOpen = file_.fileOpen;
  t.modified = st_.modified;
  t.path = file_.path;
  t.model = ws_.model;
  ui_.SetWindowTitle(MakeWindowTitle(t));
}

void CVortanView::MarkModified() {
  st_.modified = true;
  UpdateTitle();
  // A command called on its own, outside the dispatchers, is still a step.
  if (editDepth_ == 0) CommitEdit();
}

void CVortanView::TakeOverPath(const std::string& path) {
  file_.path = path;
  const size_t start = NameStart(path);
  file_.fileName = path.substr(start);
  file_.folder = path.substr(0, start);
}

bool CVortanView::SaveModified() {
  if (!st_.modified) return true;
  switch (ui_.AskSaveChanges()) {
    case SaveChangesAnswer::kDiscard: return true;
    case SaveChangesAnswer::kCancel: return false;
    case SaveChangesAnswer::kSave: break;
  }
  // Save falls back to Save As without a file; a cancelled or failed write
  // leaves the changes unsaved, which is a Cancel.
  OnFileSave();
  return !st_.modified;
}

void CVortanView::OnFileNew() {
  if (!SaveModified()) return;
  file_.path.clear();
  file_.fileName.clear();
  file_.folder.clear();
  file_.fileOpen = false;
  UpdateTitle();
}

void CVortanView::OnFileOpen() {
  const std::optional<std::string> path = ui_.AskOpenFile(OpenFileRequest());
  if (!path) {
    ui_.ShowMessage("File Open Failed !", MessageIcon::kStop, MessageButtons::kOk);
    return;
  }
  if (!SaveModified()) return;
  // A file that is not taken over has shown its message.
  static_cast<void>(OpenFile(*path));
}

std::string CVortanView::SideFilePath() const {
  std::string p = sideFileFolder_;
  if (!p.empty() && p.back() != '/' && p.back() != '\\') p += '/';
  return p + std::string(kSatelliteDumpName);
}

bool CVortanView::LoadReceivedImage(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return false;
  EditScope scope(*this);  // an upload into the workspace can be undone
  LoadOptions options;
  options.satelliteDumpPath = SideFilePath();
  if (ApplyDownloadImage(ws_, bytes.data(), bytes.size(), options) != LoadResult::kLoaded) return false;
  AfterLoad();
  // The receiver's data are not the file that was open: nothing of them is
  // on disk yet, and Save must not write them over that file unasked.
  st_.modified = true;
  file_.fileOpen = false;
  file_.path.clear();
  UpdateTitle();
  return true;
}

bool CVortanView::OpenFile(const std::string& path) {
  LoadOptions options;
  options.satelliteDumpPath = SideFilePath();
  // The load works on a scratch copy: a rejected file leaves the workspace
  // exactly as it was. It also runs the catalogue merges and sets Loaded.
  const LoadResult r = LoadWorkspaceFile(ws_, path, options);
  if (r != LoadResult::kLoaded) {
    ui_.ShowMessage(std::string(LoadResultText(r)), MessageIcon::kStop, MessageButtons::kOk);
    return false;
  }
  // The file as read is what is on disk: nothing unsaved, and the new
  // history starts at the saved state.
  st_.modified = false;
  AfterLoad();
  file_.fileOpen = true;
  TakeOverPath(path);
  backupDue_ = true;
  UpdateTitle();
  return true;
}

bool CVortanView::FillRecoveryCopy(RecoveryCopy& copy) const {
  if (!st_.modified || !ws_.loaded) return false;
  copy.image = BuildDownloadImage(ws_);
  if (copy.image.empty()) return false;
  copy.model = ws_.model;
  copy.path = file_.fileOpen ? file_.path : std::string();
  return true;
}

bool CVortanView::OpenRecoveryCopy(const RecoveryCopy& copy) {
  if (copy.image.empty()) return false;
  LoadOptions options;
  options.satelliteDumpPath = SideFilePath();
  if (ApplyDownloadImage(ws_, copy.image.data(), copy.image.size(), options) != LoadResult::kLoaded) return false;
  // The model the workspace had, which Save writes; the tags may leave it open.
  ws_.model = copy.model;
  st_.modified = true;
  AfterLoad();
  if (copy.path.empty()) {
    file_ = FileState{};
  } else {
    TakeOverPath(copy.path);
    file_.fileOpen = true;
    backupDue_ = true;
  }
  UpdateTitle();
  return true;
}

bool CVortanView::WriteWorkspace() {
  // The first write over a file keeps what it held; without that copy the
  // file is not touched.
  std::error_code ec;
  const bool backupMade =
      !backupDue_ || !std::filesystem::is_regular_file(file_.path, ec) || KeepBackupCopy(file_.path);
  file_.fileOpen = backupMade && WriteDownloadImage(ws_, file_.path);
  if (file_.fileOpen) {
    backupDue_ = false;
    st_.modified = false;
    // The history stays; undoing back to here clears Modified again.
    CommitEdit();
    history_.MarkSaved();
  } else {
    // Not silent: the user must not believe the list is safe.
    ui_.ShowMessage("File Save Error !!!", MessageIcon::kStop, MessageButtons::kOk);
  }
  UpdateTitle();
  return file_.fileOpen;
}

void CVortanView::OnFileSave() {
  if (!file_.fileOpen) {
    OnFileSaveAs();
    return;
  }
  // A failed write has shown "File Save Error !!!".
  static_cast<void>(WriteWorkspace());
}

void CVortanView::OnFileSaveAs() {
  const ModelId remembered = ws_.model;
  if (!ModelSelectDlg::SkippedFor(ws_.model)) {
    ModelSelectDlg dlg;
    dlg.position = ModelSelectDlg::PreselectionFor(ws_.model);
    if (ui_.RunDialog(&dlg) != DialogAnswer::kOk) {
      ws_.model = remembered;
      return;
    }
    // A position the dialog does not offer chooses nothing.
    if (!ModelSelectDlg::Enabled(dlg.position)) {
      ws_.model = remembered;
      return;
    }
    ws_.model = ModelSelectDlg::ModelAt(dlg.position);
  }
  const std::optional<std::string> path = ui_.AskSaveFile(SaveAsRequest());
  if (!path) {
    ws_.model = remembered;
    return;
  }
  // Another file than the one already backed up gets its own backup.
  if (*path != file_.path) backupDue_ = true;
  TakeOverPath(*path);
  // A failed write has shown "File Save Error !!!".
  static_cast<void>(WriteWorkspace());
}

}  // namespace pelagor

namespace pelagor {

FileRequest CVortanView::ExportFileRequest() {
  return {"csv", "*.csv", "Channel list(*.csv)|*.csv|All Files (*.*)|*.*||", true, true};
}

std::string CVortanView::ChannelListCsv() const { return CsvTable(list_.Table()); }

void CVortanView::OnFileExport() {
  if (!ws_.loaded) return;
  const std::optional<std::string> path = ui_.AskSaveFile(ExportFileRequest());
  if (!path) return;
  const std::string text = ChannelListCsv();
  std::ofstream out(*path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), std::streamsize(text.size()));
  out.close();
  if (!out) ui_.ShowMessage("File Save Error !!!", MessageIcon::kStop, MessageButtons::kOk);
}

}  // namespace pelagor
