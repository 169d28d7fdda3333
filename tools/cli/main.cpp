// pelagor-cli: the editor's file, channel, link and transfer commands for
// scripts. Exit status 0 done, 1 failed with the editor's
// message on standard error, 2 usage error.

#include <CLI/CLI.hpp>

#include "ChannelCommands.h"
#include "CliSupport.h"
#include "FileCommands.h"
#include "LinkCommands.h"
#include "TransferCommands.h"

int main(int argc, char** argv) {
  CLI::App app{"Pelagor channel-list tool", "pelagor-cli"};
  app.require_subcommand(1);
  pelagor::cli::AddFileCommands(app);
  pelagor::cli::AddChannelCommands(app);
  AddLinkCommands(app);
  pelagor::cli::AddTransferCommands(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::RuntimeError& e) {
    // A command that failed has printed its message already.
    return e.get_exit_code();
  } catch (const CLI::ParseError& e) {
    const int rc = app.exit(e);
    return rc == 0 ? 0 : pelagor::cli::kExitUsage;
  }
  return 0;
}
