#include "CliRun.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace pelagor {

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string Quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

CliOutput RunCli(const std::string& args, const std::string& dir) {
  const std::string out = dir + "/.cli-out";
  const std::string err = dir + "/.cli-err";
  const std::string cmd =
      "cd " + Quoted(dir) + " && " + Quoted(PELAGOR_CLI_PATH) + " " + args + " >" + Quoted(out) + " 2>" + Quoted(err);
  const int raw = std::system(cmd.c_str());
  CliOutput r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = Slurp(out);
  r.err = Slurp(err);
  std::remove(out.c_str());
  std::remove(err.c_str());
  return r;
}

}  // namespace pelagor
