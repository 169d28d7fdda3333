#pragma once
// The channel command of pelagor-cli: the channel list of a file, as the
// editor shows it, in text, CSV or JSON.

#include <CLI/CLI.hpp>

namespace pelagor::cli {
// channels [--csv|--json] FILE
void AddChannelCommands(CLI::App& app);
}  // namespace pelagor::cli
