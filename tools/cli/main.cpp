// pelagor-cli: the editor's file, channel, link and transfer commands for
// scripts. Exit status 0 done, 1 failed with the editor's
// message on standard error, 2 usage error.

#include <CLI/CLI.hpp>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

#include "ChannelCommands.h"
#include "CliSupport.h"
#include "FileCommands.h"
#include "ReferenceCommands.h"
#include "LinkCommands.h"
#include "TransferCommands.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // The bytes as written: CSV rows already end in CR LF, which text mode
  // would turn into CR CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  CLI::App app{"Pelagor channel-list tool", "pelagor-cli"};
  app.require_subcommand(1);
#ifdef PELAGOR_VERSION
  app.set_version_flag("--version", "pelagor-cli " PELAGOR_VERSION);
#endif
  pelagor::cli::AddFileCommands(app);
  pelagor::cli::AddChannelCommands(app);
  pelagor::cli::AddReferenceCommands(app);
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
