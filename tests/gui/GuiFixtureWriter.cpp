// gui_fixture_writer OUT.bin [MODEL]: the GUI tests' workspace as a file.
#include <cstdio>
#include <cstdlib>

#include "gui/GuiFixture.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: gui_fixture_writer OUT.bin [MODEL]\n");
    return 2;
  }
  const int model = argc > 2 ? std::atoi(argv[2]) : 1;
  return pelagor::guitest::WriteFixture(argv[1], model) ? 0 : 1;
}
