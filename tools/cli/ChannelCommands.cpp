#include "ChannelCommands.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iostream>
#include <memory>

#include "ChannelRows.h"
#include "CliSupport.h"
#include "view/CsvWriter.h"

namespace pelagor::cli {

namespace {

struct ChannelsArgs {
  std::string file;
  bool csv = false;
  bool json = false;
};

nlohmann::ordered_json RowJson(const ChannelRow& r) {
  nlohmann::ordered_json j;
  j["index"] = r.index;
  j["number"] = r.number ? nlohmann::ordered_json(*r.number) : nlohmann::ordered_json(nullptr);
  j["name"] = r.name;
  j["type"] = r.radio ? "radio" : "tv";
  j["satellite"] = r.satellite;
  j["frequency"] = r.frequency;
  j["polarisation"] = r.polarisation;
  j["scrambled"] = r.scrambled;
  j["locked"] = r.locked;
  j["video_pid"] = r.videoPid;
  j["audio_pid"] = r.audioPid;
  j["pcr_pid"] = r.pcrPid;
  j["sid"] = r.sid;
  j["favourites"] = r.favourites;
  j["provider"] = r.provider ? nlohmann::ordered_json(*r.provider) : nlohmann::ordered_json(nullptr);
  return j;
}

void PrintLine(const std::vector<std::string>& cells, const std::vector<size_t>& widths) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) {
    line += cells[i];
    if (i + 1 < cells.size()) line += std::string(widths[i] - std::min(widths[i], cells[i].size()) + 2, ' ');
  }
  std::cout << line << '\n';
}

void RunChannels(const ChannelsArgs& a) {
  Workspace ws;
  LoadOrFail(a.file, ws);
  const std::vector<ChannelRow> rows = ListChannels(ws);
  if (a.json) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (const ChannelRow& r : rows) out.push_back(RowJson(r));
    std::cout << out.dump(2) << '\n';
    return;
  }
  std::vector<std::vector<std::string>> table{ChannelHeadings()};
  for (size_t i = 0; i < rows.size(); ++i) table.push_back(ChannelCells(rows[i], int(i + 1)));
  if (a.csv) {
    std::cout << CsvTable(table);
    return;
  }
  std::vector<size_t> widths(ChannelHeadings().size(), 0);
  for (const auto& cells : table)
    for (size_t i = 0; i < cells.size(); ++i) widths[i] = std::max(widths[i], cells[i].size());
  for (const auto& cells : table) PrintLine(cells, widths);
}

}  // namespace

void AddChannelCommands(CLI::App& app) {
  auto args = std::make_shared<ChannelsArgs>();
  CLI::App* cmd = app.add_subcommand("channels", "Every channel in the receiver's channel order");
  CLI::Option* csv = cmd->add_flag("--csv", args->csv, "CSV with the channel list's headings");
  CLI::Option* json = cmd->add_flag("--json", args->json, "A JSON array of channel objects");
  csv->excludes(json);
  cmd->add_option("FILE", args->file, "Download image file")->required();
  cmd->callback([args] { RunChannels(*args); });
}

}  // namespace pelagor::cli
