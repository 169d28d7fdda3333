#pragma once
// Runs the built pelagor-cli and captures what it printed and its status.

#include <string>

namespace pelagor {

struct CliOutput {
  int status = -1;
  std::string out;
  std::string err;
};

// args is appended to the binary's path as written (quote where needed);
// runs in the folder dir.
CliOutput RunCli(const std::string& args, const std::string& dir);

// Single-quoted for the shell.
std::string Quoted(const std::string& s);

}  // namespace pelagor
