#pragma once

#include <string>

#include "platform/control.h"

namespace tambrel::platform {

// A menu or menu item of the menu bar. It sits in the control collection but has no geometry.
class MenuEntry : public Control {
 public:
  using Control::Control;

  virtual std::u16string Caption() const = 0;
  virtual std::u16string ShortcutText() const = 0;  // "F1", or empty
  // Runs the entry's command, as choosing it does; a menu of the menu bar runs nothing.
  virtual void Click() = 0;
};

}  // namespace tambrel::platform
