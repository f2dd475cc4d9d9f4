#include "platform/win32/window/menu_bar.h"

#include <map>
#include <stdexcept>

#include "platform/win32/win32_strings.h"
#include "platform/win32/window/shortcut_keys.h"

namespace tambrel::platform::win32 {
namespace {

// Command identifiers of the items; low numbers are the dialog buttons' (IDOK, IDCANCEL, ...).
constexpr WORD kFirstCommand = 1000;

std::u16string ItemText(const MenuDefinition& entry) {
  if (entry.shortcut.empty()) return entry.caption;
  return entry.caption + u'\t' + std::u16string(entry.shortcut.begin(), entry.shortcut.end());
}

}  // namespace

Win32MenuEntry::Win32MenuEntry(std::string name, HMENU menu, UINT item, UINT by,
                               std::function<void()> click)
    : MenuEntry(std::move(name)), menu_(menu), item_(item), by_(by), click_(std::move(click)) {}

std::u16string Win32MenuEntry::MenuText() const {
  const int length = ::GetMenuStringW(menu_, item_, nullptr, 0, by_);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetMenuStringW(menu_, item_, text.data(), length + 1, by_);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return ToU16(text);
}

std::u16string Win32MenuEntry::Caption() const {
  const std::u16string text = MenuText();
  return text.substr(0, text.find(u'\t'));
}

std::u16string Win32MenuEntry::ShortcutText() const {
  const std::u16string text = MenuText();
  const std::size_t tab = text.find(u'\t');
  return tab == std::u16string::npos ? std::u16string() : text.substr(tab + 1);
}

void Win32MenuEntry::Click() {
  if (click_) click_();
}

MenuBar::MenuBar(const std::vector<MenuDefinition>& menus)
    : bar_(Checked(::CreateMenu(), "CreateMenu")) {
  std::map<std::string, HMENU> popups;
  std::vector<ACCEL> keys;
  WORD next_command = kFirstCommand;
  for (const MenuDefinition& entry : menus) {
    if (entry.parent.empty()) {
      // Appended to the bar, the popup is the bar's: it goes when the bar goes.
      UniqueMenu popup(Checked(::CreatePopupMenu(), "CreatePopupMenu"));
      const UINT position = static_cast<UINT>(::GetMenuItemCount(bar_.get()));
      if (!::AppendMenuW(bar_.get(), MF_POPUP | MF_STRING,
                         reinterpret_cast<UINT_PTR>(popup.get()), AsWide(entry.caption))) {
        ThrowLastError("AppendMenuW");
      }
      popups[entry.name] = popup.release();
      // A menu of the bar runs nothing: choosing it only opens it.
      entries_.push_back(std::make_unique<Win32MenuEntry>(entry.name, bar_.get(), position,
                                                          MF_BYPOSITION, nullptr));
      continue;
    }
    const auto parent = popups.find(entry.parent);
    if (parent == popups.end()) {
      throw std::logic_error("menu item " + entry.name + " names no menu " + entry.parent);
    }
    const WORD command = next_command++;
    if (!::AppendMenuW(parent->second, MF_STRING, command, AsWide(ItemText(entry)))) {
      ThrowLastError("AppendMenuW");
    }
    if (const auto key = AcceleratorFor(entry.shortcut, command)) keys.push_back(*key);
    entries_.push_back(std::make_unique<Win32MenuEntry>(entry.name, parent->second, command,
                                                        MF_BYCOMMAND, entry.click));
    commands_.emplace_back(command, entries_.back().get());
  }
  if (!keys.empty()) {
    accelerators_.reset(Checked(
        ::CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size())),
        "CreateAcceleratorTableW"));
  }
}

bool MenuBar::RunCommand(WORD command) {
  for (const auto& [id, entry] : commands_) {
    if (id == command) {
      entry->Click();
      return true;
    }
  }
  return false;
}

}  // namespace tambrel::platform::win32
