#pragma once

// imm.h needs the types of windows.h declared before it.
// clang-format off
#include <windows.h>
#include <imm.h>
// clang-format on

#include <cstddef>
#include <optional>
#include <string>

namespace tambrel::platform::win32 {

// The input method's context of a window, from ImmGetContext, given back with ImmReleaseContext
// when it goes. Null while the window has no input method.
class InputMethodContext {
 public:
  explicit InputMethodContext(HWND window) : window_(window), context_(::ImmGetContext(window)) {}
  ~InputMethodContext() {
    if (context_ != nullptr) ::ImmReleaseContext(window_, context_);
  }
  InputMethodContext(const InputMethodContext&) = delete;
  InputMethodContext& operator=(const InputMethodContext&) = delete;

  explicit operator bool() const { return context_ != nullptr; }
  HIMC get() const { return context_; }

  // A string of the composition: GCS_COMPSTR, GCS_RESULTSTR, ...
  std::u16string String(DWORD which) const;
  // The input method's cursor in the composition (GCS_CURSORPOS), if it tells one.
  std::optional<std::size_t> Cursor() const;

  // The composition window (which the view does not let the input method show) and the
  // candidate list follow the caret: the list opens below the caret's row without covering it.
  void FollowCaret(const RECT& caret);
  // The composition is measured in the editor's font.
  void SetFont(HFONT font);

 private:
  HWND window_;
  HIMC context_;
};

}  // namespace tambrel::platform::win32
