#pragma once

#include <windows.h>

#include "platform/win32/win32_handles.h"

namespace tambrel::platform::win32 {

// The commands of the view's context menu, as TrackPopupMenu answers them.
enum class ContextCommand : UINT {
  kUndo = 1,
  kRedo,
  kCut,
  kCopy,
  kPaste,
  kDelete,
  kSelectAll,
};

// What the menu offers at the moment it opens.
struct ContextMenuState {
  bool can_undo = false;
  bool can_redo = false;
  bool has_selection = false;
  bool can_paste = false;
  bool has_text = false;
};

// The menu an edit box shows on a right click: 撤消 重做 | 剪切 复制 粘贴 删除 | 全选, each entry
// greyed when it would do nothing.
UniqueMenu BuildContextMenu(const ContextMenuState& state);

}  // namespace tambrel::platform::win32
