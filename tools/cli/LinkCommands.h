#pragma once
// The link commands of pelagor-cli: the serial ports present, and the
// receiver's model and versions on a port.

#include <CLI/CLI.hpp>

#include <iosfwd>
#include <string>

#include "link/LinkTiming.h"

namespace pelagor {
class CLinkPort;
}

namespace pelagor::cli {

// Connect as the port dialog would with the typed port; on failure the open
// message ("Can not open ... !") goes to err and the result is false.
bool ConnectOrReport(CLinkPort& link, const std::string& port, std::ostream& err);

// ports: one port per line, sorted as the port dialog lists them.
// stb-info --port DEV: "Model: ...", "Boot Ver.: ...", "Main Ver.: ..." lines, or
// the open failure or "STB not connected or Version not supported !!!" on
// standard error with exit status 1 (via CLI::RuntimeError).
void AddLinkCommands(CLI::App& app);
// The same with the streams and the serial timing given (tests).
void AddLinkCommands(CLI::App& app, std::ostream& out, std::ostream& err, LinkTiming timing);

// The command bodies; both return the exit status.
int RunPorts(std::ostream& out);
// port: a device path, or on Windows "COMn" (or just n).
int RunStbInfo(const std::string& port, std::ostream& out, std::ostream& err, const LinkTiming& timing);

}  // namespace pelagor::cli

using pelagor::cli::AddLinkCommands;
