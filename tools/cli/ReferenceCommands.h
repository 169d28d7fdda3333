#pragma once
// apply-order and import: reference lists from the command line.

#include <CLI/CLI.hpp>

namespace pelagor::cli {

void AddReferenceCommands(CLI::App& app);

}  // namespace pelagor::cli
