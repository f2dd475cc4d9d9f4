#include "platform/win32/text_view/input_method_context.h"

namespace tambrel::platform::win32 {

std::u16string InputMethodContext::String(DWORD which) const {
  if (context_ == nullptr) return {};
  // The size in bytes, without a terminating zero; negative for an error.
  const LONG bytes = ::ImmGetCompositionStringW(context_, which, nullptr, 0);
  if (bytes <= 0) return {};
  std::u16string text(static_cast<std::size_t>(bytes) / sizeof(char16_t), u'\0');
  const LONG copied =
      ::ImmGetCompositionStringW(context_, which, text.data(), static_cast<DWORD>(bytes));
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) / sizeof(char16_t) : 0);
  return text;
}

std::optional<std::size_t> InputMethodContext::Cursor() const {
  if (context_ == nullptr) return std::nullopt;
  // GCS_CURSORPOS answers a position in characters, not bytes.
  const LONG cursor = ::ImmGetCompositionStringW(context_, GCS_CURSORPOS, nullptr, 0);
  if (cursor < 0) return std::nullopt;
  return static_cast<std::size_t>(cursor);
}

void InputMethodContext::FollowCaret(const RECT& caret) {
  if (context_ == nullptr) return;
  COMPOSITIONFORM composition{};
  composition.dwStyle = CFS_POINT;
  composition.ptCurrentPos = POINT{caret.left, caret.top};
  ::ImmSetCompositionWindow(context_, &composition);

  CANDIDATEFORM candidates{};
  candidates.dwIndex = 0;
  candidates.dwStyle = CFS_EXCLUDE;
  candidates.ptCurrentPos = POINT{caret.left, caret.bottom};
  candidates.rcArea = caret;
  ::ImmSetCandidateWindow(context_, &candidates);
}

void InputMethodContext::SetFont(HFONT font) {
  if (context_ == nullptr || font == nullptr) return;
  LOGFONTW logical{};
  if (::GetObjectW(font, sizeof(logical), &logical) == sizeof(logical)) {
    ::ImmSetCompositionFontW(context_, &logical);
  }
}

}  // namespace tambrel::platform::win32
