#pragma once
#include <CLI/CLI.hpp>

namespace pelagor::cli {
// channels [--csv|--json] FILE
void AddChannelCommands(CLI::App& app);
}  // namespace pelagor::cli
