#pragma once
// The models of the reference-list dialogs: the options of Apply Order from
// Reference List, the report after it or after an import, and the choice of
// channels to import with its filters. Plain data; the faces render them.

#include <cstddef>
#include <string>
#include <vector>

#include "view/ReferenceList.h"

namespace pelagor {

inline constexpr std::string_view kApplyOrderCaption = "Apply Order from Reference List";
inline constexpr std::string_view kImportCaption = "Import Channels";

class CApplyOrderDlg {
 public:
  std::string referenceName;  // file name of the reference, shown on top
  ApplyOptions options;       // every box on, unmatched kept
};

class CReferenceReportDlg {
 public:
  struct Section {
    std::string heading;
    std::vector<std::string> lines;
  };
  std::string caption;
  std::vector<std::string> summary;
  std::vector<Section> sections;
  // A section's lines as one text for the clipboard, a line each.
  [[nodiscard]] std::string SectionText(size_t section) const;

  [[nodiscard]] static CReferenceReportDlg ForApply(const ApplyReport& report, const ApplyOptions& options);
  [[nodiscard]] static CReferenceReportDlg ForImport(const ImportReport& report);
};

class CImportChannelsDlg {
 public:
  std::vector<ImportCandidate> candidates;
  std::vector<bool> checked;  // per candidate; none checked at first

  // Filters, as the channel list has them.
  int satelliteFilter = 0;  // 0 all, i: SatelliteChoices()[i]
  int typeFilter = 0;       // 0 all, 1 TV, 2 radio
  std::string nameFilter;   // part of the name, case ignored

  void SetCandidates(std::vector<ImportCandidate> list);
  // "All" and then each satellite once, in list order.
  [[nodiscard]] std::vector<std::string> SatelliteChoices() const;
  [[nodiscard]] bool Shown(size_t i) const;
  [[nodiscard]] std::vector<size_t> ShownRows() const;
  // Check or uncheck every shown candidate.
  void CheckShown(bool on);
  // Record indices of the checked candidates, in list order.
  [[nodiscard]] std::vector<int> CheckedChannels() const;
  [[nodiscard]] int CheckedCount() const;

 private:
  [[nodiscard]] bool ShownWith(size_t i, const std::string* satellite, const std::string& foldedName) const;
};

}  // namespace pelagor
