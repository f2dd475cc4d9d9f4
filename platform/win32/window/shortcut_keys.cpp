#include "platform/win32/window/shortcut_keys.h"

#include <charconv>

namespace tambrel::platform::win32 {
namespace {

struct Modifier {
  std::string_view prefix;
  BYTE flag;
};

constexpr Modifier kModifiers[] = {{"Ctrl+", FCONTROL}, {"Shift+", FSHIFT}, {"Alt+", FALT}};

std::optional<WORD> VirtualKey(std::string_view key) {
  if (key.size() == 1) {
    const char c = key.front();
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<WORD>(c);
    return std::nullopt;
  }
  if (key.size() >= 2 && key.front() == 'F') {
    int number = 0;
    const auto [end, error] = std::from_chars(key.data() + 1, key.data() + key.size(), number);
    if (error == std::errc() && end == key.data() + key.size() && number >= 1 && number <= 24) {
      return static_cast<WORD>(VK_F1 + number - 1);
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<ACCEL> AcceleratorFor(std::string_view shortcut, WORD command) {
  BYTE flags = FVIRTKEY;
  for (bool found = true; found;) {
    found = false;
    for (const Modifier& modifier : kModifiers) {
      if (shortcut.substr(0, modifier.prefix.size()) == modifier.prefix) {
        flags |= modifier.flag;
        shortcut.remove_prefix(modifier.prefix.size());
        found = true;
      }
    }
  }
  const std::optional<WORD> key = VirtualKey(shortcut);
  if (!key) return std::nullopt;
  return ACCEL{flags, *key, command};
}

}  // namespace tambrel::platform::win32
