#pragma once
// The channel list as the editor shows it unfiltered: every channel of
// ChannelOrder, in that order, with the values of the list's columns.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/Workspace.h"

namespace pelagor::cli {

struct ChannelRow {
  int index = 0;                   // channel record index
  std::optional<int> number;       // none when not numbered (0xFFFF)
  uint16_t rawNumber = 0;
  std::string name;
  bool radio = false;
  std::string satellite;
  int frequency = 0;               // MHz, or kHz for terrestrial and cable
  std::string polarisation;        // "AUTO", "H", "V", "?"
  bool scrambled = false;
  bool locked = false;
  int videoPid = 0, audioPid = 0, pcrPid = 0, sid = 0;
  std::vector<int> favourites;     // list numbers 1-8
  std::string favouriteNames;      // "News,Sport" as the list column shows it
  std::optional<std::string> provider;
};

// Entries that are 0xFFFF, past the table or name a free slot are left out.
std::vector<ChannelRow> ListChannels(const Workspace& ws);

// The channel list's headings, in column order.
const std::vector<std::string>& ChannelHeadings();
// The texts of one row under those headings; rowNumber counts from 1.
std::vector<std::string> ChannelCells(const ChannelRow& row, int rowNumber);

}  // namespace pelagor::cli
