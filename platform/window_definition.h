#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/font_choice.h"
#include "platform/ole_color.h"

namespace tambrel::platform {

enum class ControlKind { kTimer, kCommonDialog, kContainer, kPictureBox, kEditBox };

// One row of the control table. Geometry is in twips, relative to the client area of the
// container; timers and the common dialog keep a design position only.
struct ControlDefinition {
  std::string name;
  ControlKind kind;
  std::string container;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  OleColor back_color = kWhite;
  OleColor fore_color = kBlack;
  std::optional<FontChoice> font;
  int tab_index = -1;
  int interval = 0;     // timers, in milliseconds
  bool enabled = true;  // timers
  bool accepts_drops = false;
};

// A control row with its name, kind, container and design geometry; the rest at the defaults.
inline ControlDefinition DefineControl(std::string name, ControlKind kind, std::string container,
                                       int left, int top, int width = 0, int height = 0) {
  ControlDefinition control;
  control.name = std::move(name);
  control.kind = kind;
  control.container = std::move(container);
  control.left = left;
  control.top = top;
  control.width = width;
  control.height = height;
  return control;
}

// One row of the menu table: a menu of the menu bar when parent is empty, else an item of the
// named menu. The caption's '&' marks the access key; the shortcut ("F1") works while the
// menus are closed.
struct MenuDefinition {
  std::string name;
  std::u16string caption;
  std::string parent;
  std::string shortcut;
  std::function<void()> click;
};

struct WindowDefinition {
  std::string name;
  std::u16string caption;
  int client_width = 0;  // twips, the area below the menu bar
  int client_height = 0;
  std::vector<std::string> icon_images;  // resource paths, one image per size
  std::vector<ControlDefinition> controls;
  std::vector<MenuDefinition> menus;
};

}  // namespace tambrel::platform
