#include "view/ReferenceDlgs.h"

#include <algorithm>

#include "view/RecordText.h"

namespace pelagor {

std::string CReferenceReportDlg::SectionText(size_t section) const {
  std::string out;
  if (section >= sections.size()) return out;
  for (const std::string& line : sections[section].lines) out += line + "\n";
  return out;
}

CReferenceReportDlg CReferenceReportDlg::ForApply(const ApplyReport& r, const ApplyOptions& options) {
  CReferenceReportDlg d;
  d.caption = std::string(kApplyOrderCaption);
  d.summary.push_back("Matched by service (satellite, transponder, SID): " + std::to_string(r.matched[0]));
  d.summary.push_back("Matched by SID and name (moved service): " + std::to_string(r.matched[1]));
  d.summary.push_back("Matched by name alone: " + std::to_string(r.matched[2]));
  if (options.deleteUnmatched) d.summary.push_back("Workspace channels deleted: " + std::to_string(r.deleted));
  if (r.namesKept > 0)
    d.summary.push_back("Names kept because the channel cannot store the reference's name: " +
                        std::to_string(r.namesKept));
  Section ref{"Reference channels not found (" + std::to_string(r.referenceUnmatched.size()) + ")", {}};
  for (const ReportLine& l : r.referenceUnmatched) ref.lines.push_back(ReportLineText(l));
  Section ws{"Workspace channels not in the reference (" + std::to_string(r.workspaceUnmatched.size()) + ")", {}};
  for (const ReportLine& l : r.workspaceUnmatched) ws.lines.push_back(ReportLineText(l));
  d.sections.push_back(std::move(ref));
  d.sections.push_back(std::move(ws));
  return d;
}

CReferenceReportDlg CReferenceReportDlg::ForImport(const ImportReport& r) {
  CReferenceReportDlg d;
  d.caption = std::string(kImportCaption);
  d.summary.push_back("Channels imported: " + std::to_string(r.imported));
  d.summary.push_back("Satellites added: " + std::to_string(r.satellitesAdded) +
                      " (new catalogue entries: " + std::to_string(r.catalogueEntriesAdded) + ")");
  d.summary.push_back("Transponders added: " + std::to_string(r.transpondersAdded));
  Section failed{"Not imported (" + std::to_string(r.notImported.size()) + ")", {}};
  for (const ImportFailure& f : r.notImported) failed.lines.push_back(ReportLineText(f.line) + '\t' + f.reason);
  d.sections.push_back(std::move(failed));
  return d;
}

void CImportChannelsDlg::SetCandidates(std::vector<ImportCandidate> list) {
  candidates = std::move(list);
  checked.assign(candidates.size(), false);
  satelliteFilter = 0;
  typeFilter = 0;
  nameFilter.clear();
}

std::vector<std::string> CImportChannelsDlg::SatelliteChoices() const {
  std::vector<std::string> out{"All"};
  for (const ImportCandidate& c : candidates)
    if (std::find(out.begin() + 1, out.end(), c.line.satellite) == out.end()) out.push_back(c.line.satellite);
  return out;
}

bool CImportChannelsDlg::Shown(size_t i) const {
  const std::vector<std::string> sats = SatelliteChoices();
  const std::string* sat =
      satelliteFilter > 0 && size_t(satelliteFilter) < sats.size() ? &sats[size_t(satelliteFilter)] : nullptr;
  return ShownWith(i, sat, FoldCase(nameFilter));
}

bool CImportChannelsDlg::ShownWith(size_t i, const std::string* satellite, const std::string& foldedName) const {
  if (i >= candidates.size()) return false;
  const ImportCandidate& c = candidates[i];
  if (typeFilter == 1 && c.radio) return false;
  if (typeFilter == 2 && !c.radio) return false;
  if (satellite != nullptr && c.line.satellite != *satellite) return false;
  if (!foldedName.empty() && FoldCase(c.line.name).find(foldedName) == std::string::npos) return false;
  return true;
}

std::vector<size_t> CImportChannelsDlg::ShownRows() const {
  const std::vector<std::string> sats = SatelliteChoices();
  const std::string* sat =
      satelliteFilter > 0 && size_t(satelliteFilter) < sats.size() ? &sats[size_t(satelliteFilter)] : nullptr;
  const std::string folded = FoldCase(nameFilter);
  std::vector<size_t> out;
  for (size_t i = 0; i < candidates.size(); ++i)
    if (ShownWith(i, sat, folded)) out.push_back(i);
  return out;
}

void CImportChannelsDlg::CheckShown(bool on) {
  checked.resize(candidates.size(), false);
  for (size_t i : ShownRows()) checked[i] = on;
}

std::vector<int> CImportChannelsDlg::CheckedChannels() const {
  std::vector<int> out;
  for (size_t i = 0; i < candidates.size() && i < checked.size(); ++i)
    if (checked[i]) out.push_back(candidates[i].index);
  return out;
}

int CImportChannelsDlg::CheckedCount() const { return int(std::count(checked.begin(), checked.end(), true)); }

}  // namespace pelagor
