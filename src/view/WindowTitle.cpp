#include "view/WindowTitle.h"

namespace pelagor {

namespace {

bool IsSeparator(char c) {
  // The receiver's editor cut at backslashes; POSIX paths use slashes.
  return c == '\\' || c == '/';
}

}  // namespace

std::string MakeWindowTitle(const TitleState& s) {
  const std::string app(kApplicationTitle);
  if (s.loaded && !s.fileOpen) return app + " - New Channel List *";
  if (!s.fileOpen) return app + " - No File";
  std::string t = app + " - " + s.path + (s.modified ? " *" : "");
  // Last separator, searched from the second-to-last character back to the
  // second; without one the title stays whole.
  for (size_t i = t.size() >= 2 ? t.size() - 2 : 0; i >= 1 && i < t.size(); --i) {
    if (IsSeparator(t[i])) {
      t = t.substr(i + 1);
      break;
    }
  }
  return std::string(ModelInfoFor(s.model).titlePrefix) + t;
}

}  // namespace pelagor
