#include "app/LockKeys.h"

#include <QGuiApplication>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(PELAGOR_HAVE_X11)
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#endif

namespace pelagor {

#if defined(PELAGOR_HAVE_X11) && !defined(Q_OS_WIN)
namespace {

bool NamedIndicatorOn(Display* display, const char* name) {
  const Atom atom = XInternAtom(display, name, True);
  if (atom == None) return false;
  Bool on = False;
  if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr)) return false;
  return on != False;
}

}  // namespace
#endif

std::optional<LockKeyStates> ReadLockKeys() {
#if defined(Q_OS_WIN)
  // The low bit of a toggle key's state is its lock.
  return LockKeyStates{(GetKeyState(VK_CAPITAL) & 1) != 0, (GetKeyState(VK_NUMLOCK) & 1) != 0,
                       (GetKeyState(VK_SCROLL) & 1) != 0};
#elif defined(PELAGOR_HAVE_X11)
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return std::nullopt;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  Display* display = x11 != nullptr ? x11->display() : nullptr;
  if (display == nullptr) return std::nullopt;
  // The keyboard's indicators by name: their bit positions differ between keymaps.
  return LockKeyStates{NamedIndicatorOn(display, "Caps Lock"), NamedIndicatorOn(display, "Num Lock"),
                       NamedIndicatorOn(display, "Scroll Lock")};
#else
  return std::nullopt;
#endif
}

}  // namespace pelagor
