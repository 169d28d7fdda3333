#include "ChannelCommands.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>

#include "CliSupport.h"
#include "view/ChannelList.h"
#include "view/CsvWriter.h"

namespace pelagor::cli {

namespace {

struct ChannelsArgs {
  std::string file;
  bool csv = false;
  bool json = false;
};

nlohmann::ordered_json Nullable(const std::optional<std::string>& text) {
  return text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json(nullptr);
}

// One row of the list with the values behind its cells.
nlohmann::ordered_json RowJson(const ChannelList& list, const DbImage& img, int row) {
  const uint16_t c = list.ChannelOfRow(row);
  const uint16_t number = img.ChanNumber(c);
  nlohmann::ordered_json j;
  j["index"] = c;
  j["number"] = number == kNoChanNumber ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(number);
  j["name"] = list.Cell(row, kColName);
  j["type"] = img.ChanWordField(c, chw::kServiceType) != 0 ? "radio" : "tv";
  j["satellite"] = list.SatelliteName(c);
  j["frequency"] = list.Frequency(c);
  j["polarisation"] = list.Polarisation(c);
  j["scrambled"] = img.ChanWordField(c, chw::kCas) != 0;
  j["locked"] = img.ChanWordField(c, chw::kLock) != 0;
  j["video_pid"] = img.ChanU16(c, chan::kVideoPid);
  j["audio_pid"] = img.ChanU16(c, chan::kAudioPid);
  j["pcr_pid"] = img.ChanU16(c, chan::kPcrPid);
  j["sid"] = img.ChanSid(c);
  j["favourites"] = list.FavoriteLists(c);
  j["provider"] = Nullable(list.ProviderName(c));
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
  // The editor's list of this file, unfiltered.
  ChannelList list(ws);
  // Without a catalogue the lists keep their default names, as in the editor.
  static_cast<void>(list.LoadFavoriteNames());
  list.ShowAll();
  if (a.json) {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    for (int row = 0; row < list.RowCount(); ++row) out.push_back(RowJson(list, *ws.image, row));
    std::cout << out.dump(2) << '\n';
    return;
  }
  const std::vector<std::vector<std::string>> table = list.Table();
  if (a.csv) {
    std::cout << CsvTable(table);
    return;
  }
  std::vector<size_t> widths(ChannelList::Columns().size(), 0);
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
