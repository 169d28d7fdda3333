#include "FileCommands.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>
#include <memory>

#include "CliSupport.h"
#include "db/Sorting.h"
#include "files/ModelTable.h"
#include "files/SectionHeader.h"

namespace pelagor::cli {

namespace {

struct SectionInfo {
  std::string tag;
  int kind;
  uint32_t length;
  uint32_t crc;
};

// The headers of an accepted file, in file order.
std::vector<SectionInfo> Sections(const std::vector<uint8_t>& bytes) {
  std::vector<SectionInfo> out;
  size_t pos = 0;
  while (bytes.size() - pos >= kSectionHeaderSize) {
    const SectionHeader h(bytes.data() + pos);
    out.push_back({RecordText(bytes.data() + pos, 8), ClassifySectionTag(bytes.data() + pos), h.Length(), h.Crc()});
    if (h.Length() > bytes.size() - pos - kSectionHeaderSize) break;
    pos += kSectionHeaderSize + h.Length();
  }
  return out;
}

struct Counts {
  int satellites = 0, transponders = 0, channels = 0;
  int catalogueSatellites = 0, catalogueTps = 0;
};

Counts CountRecords(const Workspace& ws) {
  Counts n;
  const DbImage& img = *ws.image;
  for (int s = 0; s < kMaxSats; ++s) n.satellites += img.SatInUse(s);
  for (int t = 0; t < kMaxTps; ++t) n.transponders += img.TpInUse(t);
  for (int c = 0; c < kMaxChans; ++c) n.channels += img.ChanInUse(c);
  // Entries below the count, and the pseudo-satellite entries a merge
  // placed beyond it.
  for (size_t i = 0; i < kCatalogueEntries; ++i) {
    const CatalogueEntry& e = ws.catalogue.entries[i];
    if (i >= ws.catalogue.count && e.name[0] == 0 && e.tps.empty()) continue;
    ++n.catalogueSatellites;
    n.catalogueTps += int(e.tpCount);
  }
  return n;
}

std::string Hex32(uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08x", v);
  return buf;
}

struct ShowArgs {
  std::string file;
  bool json = false;
};

void RunShow(const ShowArgs& a) {
  Workspace ws;
  std::vector<uint8_t> bytes;
  LoadOrFail(a.file, ws, &bytes);
  const std::vector<SectionInfo> sections = Sections(bytes);
  const Counts n = CountRecords(ws);
  if (a.json) {
    nlohmann::ordered_json j;
    j["model"] = ws.model == kNoModel ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(ws.model);
    j["sections"] = nlohmann::ordered_json::array();
    for (const SectionInfo& s : sections)
      j["sections"].push_back({{"tag", s.tag}, {"kind", s.kind}, {"length", s.length}, {"crc32", Hex32(s.crc)}});
    j["satellites"] = n.satellites;
    j["transponders"] = n.transponders;
    j["channels"] = n.channels;
    j["catalogue"] = ws.catalogue.Present() ? nlohmann::ordered_json{{"satellites", n.catalogueSatellites},
                                                                     {"transponders", n.catalogueTps}}
                                            : nlohmann::ordered_json(nullptr);
    j["providers"] = ws.providerPresent ? nlohmann::ordered_json(ws.providers.count) : nlohmann::ordered_json(nullptr);
    std::cout << j.dump(2) << '\n';
    return;
  }
  std::cout << "File: " << a.file << '\n';
  if (ws.model == kNoModel) {
    std::cout << "Model: none\n";
  } else {
    std::string prefix(ModelInfoFor(ws.model).titlePrefix);
    std::cout << "Model: " << ws.model << (prefix.empty() ? "" : " " + prefix.substr(0, prefix.size() - 1)) << '\n';
  }
  std::cout << "Sections: " << sections.size() << '\n';
  for (const SectionInfo& s : sections) {
    char line[96];
    std::snprintf(line, sizeof line, "  %-8s  kind %3d  length %7u  crc32 %s", s.tag.c_str(), s.kind, s.length,
                  Hex32(s.crc).c_str());
    std::cout << line << '\n';
  }
  std::cout << "Satellites: " << n.satellites << '\n'
            << "Transponders: " << n.transponders << '\n'
            << "Channels: " << n.channels << '\n';
  if (ws.catalogue.Present())
    std::cout << "Catalogue: " << n.catalogueSatellites << " satellites, " << n.catalogueTps << " transponders\n";
  else
    std::cout << "Catalogue: none\n";
  if (ws.providerPresent)
    std::cout << "Providers: " << ws.providers.count << '\n';
  else
    std::cout << "Providers: none\n";
}

struct ConvertArgs {
  int model = 0;
  std::string in, out;
};

void RunConvert(const ConvertArgs& a) {
  Workspace ws;
  LoadOrFail(a.in, ws);
  ws.model = a.model;
  WriteOrFail(ws, a.out);
}

struct SortArgs {
  std::string by, in, out;
};

void RunSort(const SortArgs& a) {
  Workspace ws;
  LoadOrFail(a.in, ws);
  std::vector<uint16_t> order = ReadChannelOrder(*ws.image);
  const int n = int(order.size());
  DbStatus rc = kDbDone;
  if (a.by == "number")
    rc = SortChansByNumber(*ws.image, order.data(), n, true);
  else if (a.by == "name")
    rc = SortChansByName(*ws.image, order.data(), n, true);
  else if (a.by == "satellite")
    rc = SortChansBySatellite(*ws.image, order.data(), n, true);
  else
    rc = SortChansByProvider(*ws.image, ws.providers, order.data(), n, true);
  if (rc != kDbDone) Fail("Not enough memory to sort the channels");
  WriteChannelOrder(*ws.image, order);
  WriteOrFail(ws, a.out);
}

}  // namespace

void AddFileCommands(CLI::App& app) {
  auto show = std::make_shared<ShowArgs>();
  CLI::App* cmd = app.add_subcommand("show", "Model, sections and record counts of a download image");
  cmd->add_flag("--json", show->json, "JSON instead of text");
  cmd->add_option("FILE", show->file, "Download image file")->required();
  cmd->callback([show] { RunShow(*show); });

  auto convert = std::make_shared<ConvertArgs>();
  cmd = app.add_subcommand("convert", "Write a download image for another receiver model, as Save As does");
  cmd->add_option("--model", convert->model, "Receiver model 1 to 8")->required()->check(CLI::Range(1, 8));
  cmd->add_option("IN", convert->in, "Download image to read")->required();
  cmd->add_option("OUT", convert->out, "File to write")->required();
  cmd->callback([convert] { RunConvert(*convert); });

  auto sort = std::make_shared<SortArgs>();
  cmd = app.add_subcommand("sort", "Sort the whole channel order, ascending, and write it as Save does");
  cmd->add_option("--by", sort->by, "number, name, satellite or provider")
      ->required()
      ->check(CLI::IsMember({"number", "name", "satellite", "provider"}));
  cmd->add_option("IN", sort->in, "Download image to read")->required();
  cmd->add_option("OUT", sort->out, "File to write")->required();
  cmd->callback([sort] { RunSort(*sort); });
}

}  // namespace pelagor::cli
