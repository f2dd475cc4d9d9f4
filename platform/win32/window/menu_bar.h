#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/menu_entry.h"
#include "platform/win32/win32_handles.h"
#include "platform/window_definition.h"

namespace tambrel::platform::win32 {

// A menu of the menu bar or one of its items, read back from the native menu itself: what the
// control answers is what the user sees.
class Win32MenuEntry final : public MenuEntry {
 public:
  // `item` is a position in `menu` for a menu of the bar, a command identifier for an item.
  Win32MenuEntry(std::string name, HMENU menu, UINT item, UINT by, std::function<void()> click);

  std::u16string Caption() const override;
  std::u16string ShortcutText() const override;
  void Click() override;

 private:
  std::u16string MenuText() const;

  HMENU menu_;
  UINT item_;
  UINT by_;  // MF_BYPOSITION or MF_BYCOMMAND
  std::function<void()> click_;
};

// The native menu bar built from the menu table: each menu a popup of the bar, each item a
// command with its shortcut's name after a tab, which Windows shows at the item's right edge; an
// '&' in a caption makes Alt and the next letter open the menu. The shortcuts themselves work
// through the accelerator table, whether or not a menu is open.
class MenuBar {
 public:
  explicit MenuBar(const std::vector<MenuDefinition>& menus);

  HMENU Handle() const { return bar_.get(); }
  // Null when no item has a shortcut.
  HACCEL Accelerators() const { return accelerators_.get(); }
  // The menu entries, in definition order.
  const std::vector<std::unique_ptr<Win32MenuEntry>>& Entries() const { return entries_; }

  // Runs the item with that command identifier, chosen from the menu or by its key; false when
  // no item has it.
  bool RunCommand(WORD command);

  // The bar's native menus belong to whichever window shows them when it is destroyed; a window
  // that gives the bar back before that leaves them to this object.
  void Attach(HWND window) const { ::SetMenu(window, bar_.get()); }
  static void Detach(HWND window) { ::SetMenu(window, nullptr); }

 private:
  UniqueMenu bar_;
  UniqueAccelerators accelerators_;
  std::vector<std::unique_ptr<Win32MenuEntry>> entries_;
  std::vector<std::pair<WORD, Win32MenuEntry*>> commands_;
};

}  // namespace tambrel::platform::win32
