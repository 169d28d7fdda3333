// Reference lists: Apply Order from Reference List and Import Channels. The
// work is done by ReferenceList (shared with the CLI); here are the file
// choice, the dialogs, the undo step and the list rebuild.

#include <algorithm>

#include "files/WorkspaceLoad.h"
#include "view/CVortanView.h"
#include "view/ReferenceDlgs.h"
#include "view/ReferenceList.h"

namespace pelagor {

namespace {

std::string FileNameOf(const std::string& path) {
  const size_t p = path.find_last_of("\\/");
  return p == std::string::npos ? path : path.substr(p + 1);
}

}  // namespace

FileRequest CVortanView::ReferenceFileRequest() {
  return {"bin", "*.bin",
          "Reference list(*.bin;*.csv)|*.bin;*.csv|Download image(*.bin)|*.bin|Channel list(*.csv)|*.csv|"
          "All files(*.*)|*.*|",
          true, false};
}

void CVortanView::OnApplyOrderFromReference() {
  if (!ws_.loaded) return;
  const std::optional<std::string> path = ui_.AskOpenFile(ReferenceFileRequest());
  if (!path) return;
  ReferenceList ref;
  std::string message;
  if (!LoadReferenceFile(*path, ws_, ref, message)) {
    ui_.ShowMessage(message, MessageIcon::kStop, MessageButtons::kOk);
    return;
  }
  CApplyOrderDlg dlg;
  dlg.referenceName = FileNameOf(*path);
  if (ui_.RunReferenceDialog(&dlg) != DialogAnswer::kOk) return;
  ApplyReport report;
  {
    EditScope scope(*this);
    report = ApplyReference(ws_, ref, dlg.options);
    st_.cutList.clear();
    FillFavoriteCombo();
    FillChannelList(ChannelFill::SelectRow(1));
    MarkModified();
  }
  CReferenceReportDlg shown = CReferenceReportDlg::ForApply(report, dlg.options);
  // The report is read and closed; its answer carries nothing.
  static_cast<void>(ui_.RunReferenceDialog(&shown));
}

void CVortanView::OnImportChannels() {
  if (!ws_.loaded) return;
  const std::optional<std::string> path = ui_.AskOpenFile(OpenFileRequest());
  if (!path) return;
  Workspace other;
  const LoadResult r = LoadWorkspaceFile(other, *path);
  if (r != LoadResult::kLoaded) {
    ui_.ShowMessage(std::string(LoadResultText(r)), MessageIcon::kStop, MessageButtons::kOk);
    return;
  }
  CImportChannelsDlg dlg;
  dlg.SetCandidates(ImportCandidates(ws_, other));
  if (dlg.candidates.empty()) {
    ui_.ShowMessage("Every channel of that list is already in the workspace.", MessageIcon::kInformation,
                    MessageButtons::kOk);
    return;
  }
  if (ui_.RunReferenceDialog(&dlg) != DialogAnswer::kOk) return;
  const std::vector<int> chosen = dlg.CheckedChannels();
  if (chosen.empty()) return;
  ImportReport report;
  {
    EditScope scope(*this);
    report = ImportChannels(ws_, other, chosen);
    FillSatelliteCombo();
    FillTransponderList(std::max(st_.currentTpRow, 0) + 1);
    FillChannelList(ChannelFill::SelectRow(1));
    if (report.imported > 0 || report.satellitesAdded > 0 || report.transpondersAdded > 0) MarkModified();
  }
  CReferenceReportDlg shown = CReferenceReportDlg::ForImport(report);
  // The report is read and closed; its answer carries nothing.
  static_cast<void>(ui_.RunReferenceDialog(&shown));
}

}  // namespace pelagor
