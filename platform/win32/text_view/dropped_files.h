#pragma once

// shellapi.h needs the types of windows.h declared before it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string>
#include <vector>

namespace tambrel::platform::win32 {

// The full names of the files in a drop (WM_DROPFILES, or CF_HDROP of a drag), in the order the
// source listed them, as wide names: whatever characters a name has, it comes through whole.
std::vector<std::u16string> DroppedFileNames(HDROP drop);

// The drop of WM_DROPFILES, handed back to the shell with DragFinish when it goes.
class FinishedDrop {
 public:
  explicit FinishedDrop(HDROP drop) : drop_(drop) {}
  ~FinishedDrop() { ::DragFinish(drop_); }
  FinishedDrop(const FinishedDrop&) = delete;
  FinishedDrop& operator=(const FinishedDrop&) = delete;

 private:
  HDROP drop_;
};

}  // namespace tambrel::platform::win32
