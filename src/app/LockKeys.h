#pragma once
// The caps-, num- and scroll-lock states as the platform reports them. Qt
// has no portable call for them: X11 and Windows tell, other platforms
// (Wayland, the offscreen platform) do not.

#include <functional>
#include <optional>

namespace pelagor {

struct LockKeyStates {
  bool caps = false;
  bool num = false;
  bool scroll = false;
  bool operator==(const LockKeyStates&) const = default;
};

// Nothing when the platform does not tell.
std::optional<LockKeyStates> ReadLockKeys();

using LockKeyReader = std::function<std::optional<LockKeyStates>()>;

}  // namespace pelagor
