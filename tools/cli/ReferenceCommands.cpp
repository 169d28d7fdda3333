#include "ReferenceCommands.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iostream>
#include <memory>

#include "CliSupport.h"
#include "view/ReferenceList.h"

namespace pelagor::cli {

namespace {

nlohmann::ordered_json LineJson(const ReportLine& l) {
  nlohmann::ordered_json j;
  j["name"] = l.name;
  j["satellite"] = l.satellite;
  j["frequency"] = l.frequency >= 0 ? nlohmann::ordered_json(l.frequency) : nlohmann::ordered_json(nullptr);
  j["sid"] = l.sid >= 0 ? nlohmann::ordered_json(l.sid) : nlohmann::ordered_json(nullptr);
  return j;
}

void PrintLines(const char* heading, const std::vector<ReportLine>& lines) {
  std::cout << heading << ": " << lines.size() << '\n';
  for (const ReportLine& l : lines) {
    std::cout << "  " << l.name << "  " << l.satellite;
    if (l.frequency >= 0) std::cout << "  " << l.frequency;
    if (l.sid >= 0) std::cout << "  SID " << l.sid;
    std::cout << '\n';
  }
}

struct ApplyArgs {
  std::string reference, in, out;
  std::vector<std::string> take{"order", "numbers", "favourites", "locks", "names"};
  std::string unmatched = "keep";
  bool json = false;
};

void RunApply(const ApplyArgs& a) {
  Workspace ws;
  LoadOrFail(a.in, ws);
  ReferenceList ref;
  std::string message;
  if (!LoadReferenceFile(a.reference, ws, ref, message)) Fail(a.reference + ": " + message);
  ApplyOptions options;
  auto takes = [&](const char* what) { return std::find(a.take.begin(), a.take.end(), what) != a.take.end(); };
  options.order = takes("order");
  options.numbers = takes("numbers");
  options.favourites = takes("favourites");
  options.locks = takes("locks");
  options.names = takes("names");
  options.deleteUnmatched = a.unmatched == "delete";
  const ApplyReport r = ApplyReference(ws, ref, options);
  WriteOrFail(ws, a.out);
  if (a.json) {
    nlohmann::ordered_json j;
    j["matched"] = {{"key", r.matched[0]}, {"sid_name", r.matched[1]}, {"name", r.matched[2]}};
    j["reference_unmatched"] = nlohmann::ordered_json::array();
    for (const ReportLine& l : r.referenceUnmatched) j["reference_unmatched"].push_back(LineJson(l));
    j["workspace_unmatched"] = nlohmann::ordered_json::array();
    for (const ReportLine& l : r.workspaceUnmatched) j["workspace_unmatched"].push_back(LineJson(l));
    j["deleted"] = r.deleted;
    j["names_kept"] = r.namesKept;
    std::cout << j.dump(2) << '\n';
    return;
  }
  std::cout << "Matched by service key: " << r.matched[0] << '\n'
            << "Matched by SID and name: " << r.matched[1] << '\n'
            << "Matched by name: " << r.matched[2] << '\n';
  if (options.deleteUnmatched) std::cout << "Deleted: " << r.deleted << '\n';
  if (r.namesKept > 0) std::cout << "Names kept (not storable): " << r.namesKept << '\n';
  PrintLines("Reference channels not found", r.referenceUnmatched);
  PrintLines("Workspace channels not in the reference", r.workspaceUnmatched);
}

struct ImportArgs {
  std::string from, in, out;
  bool json = false;
};

void RunImport(const ImportArgs& a) {
  Workspace ws;
  LoadOrFail(a.in, ws);
  Workspace other;
  LoadOrFail(a.from, other);
  std::vector<int> chosen;
  for (const ImportCandidate& c : ImportCandidates(ws, other)) chosen.push_back(c.index);
  const ImportReport r = ImportChannels(ws, other, chosen);
  WriteOrFail(ws, a.out);
  if (a.json) {
    nlohmann::ordered_json j;
    j["imported"] = r.imported;
    j["satellites_added"] = r.satellitesAdded;
    j["catalogue_entries_added"] = r.catalogueEntriesAdded;
    j["transponders_added"] = r.transpondersAdded;
    j["not_imported"] = nlohmann::ordered_json::array();
    for (const ImportFailure& f : r.notImported) {
      nlohmann::ordered_json e = LineJson(f.line);
      e["reason"] = f.reason;
      j["not_imported"].push_back(std::move(e));
    }
    std::cout << j.dump(2) << '\n';
    return;
  }
  std::cout << "Imported: " << r.imported << '\n'
            << "Satellites added: " << r.satellitesAdded << " (new catalogue entries: " << r.catalogueEntriesAdded
            << ")\n"
            << "Transponders added: " << r.transpondersAdded << '\n'
            << "Not imported: " << r.notImported.size() << '\n';
  for (const ImportFailure& f : r.notImported) {
    std::cout << "  " << f.line.name << "  " << f.line.satellite;
    if (f.line.frequency >= 0) std::cout << "  " << f.line.frequency;
    std::cout << "  (" << f.reason << ")\n";
  }
}

}  // namespace

void AddReferenceCommands(CLI::App& app) {
  auto apply = std::make_shared<ApplyArgs>();
  CLI::App* cmd = app.add_subcommand("apply-order",
                                     "Carry a reference list's order, numbers, favourites, locks and names over to IN");
  cmd->add_option("--reference", apply->reference, "Download image or CSV channel list")->required();
  cmd->add_option("--take", apply->take, "What to take: order,numbers,favourites,locks,names")
      ->delimiter(',')
      ->check(CLI::IsMember({"order", "numbers", "favourites", "locks", "names"}));
  cmd->add_option("--unmatched", apply->unmatched, "Workspace channels without a match: keep or delete")
      ->check(CLI::IsMember({"keep", "delete"}));
  cmd->add_flag("--json", apply->json, "The report as JSON");
  cmd->add_option("IN", apply->in, "Download image to read")->required();
  cmd->add_option("OUT", apply->out, "File to write (the model of IN)")->required();
  cmd->callback([apply] { RunApply(*apply); });

  auto import = std::make_shared<ImportArgs>();
  cmd = app.add_subcommand("import", "Add every channel of OTHER that IN lacks, and write OUT");
  cmd->add_option("--from", import->from, "Download image to take channels from")->required();
  cmd->add_flag("--json", import->json, "The report as JSON");
  cmd->add_option("IN", import->in, "Download image to read")->required();
  cmd->add_option("OUT", import->out, "File to write (the model of IN)")->required();
  cmd->callback([import] { RunImport(*import); });
}

}  // namespace pelagor::cli
