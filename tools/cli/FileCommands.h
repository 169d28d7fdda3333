#pragma once
#include <CLI/CLI.hpp>

namespace pelagor::cli {
// show [--json] FILE, convert --model N IN OUT, sort --by KEY IN OUT
void AddFileCommands(CLI::App& app);
}  // namespace pelagor::cli
