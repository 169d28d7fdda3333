#pragma once
// The file commands of pelagor-cli: show a file, convert it to another
// model, sort its channels.

#include <CLI/CLI.hpp>

namespace pelagor::cli {
// show [--json] FILE, convert --model N IN OUT, sort --by KEY IN OUT
void AddFileCommands(CLI::App& app);
}  // namespace pelagor::cli
