// The input method: what it composes is shown by the view itself, in the text at the caret, and
// what it commits is typed.
#include "platform/win32/text_view/input_method_context.h"
#include "platform/win32/text_view/text_view.h"

namespace tambrel::platform::win32 {

void TextView::OnImeComposition(LPARAM parts) {
  const InputMethodContext context(Hwnd());
  if (!context) return;
  std::optional<std::u16string> result;
  std::optional<std::u16string> composition;
  std::size_t cursor = 0;
  if (parts & GCS_RESULTSTR) result = context.String(GCS_RESULTSTR);
  if (parts & GCS_COMPSTR) {
    composition = context.String(GCS_COMPSTR);
    cursor = composition->size();
    if (parts & GCS_CURSORPOS) cursor = context.Cursor().value_or(cursor);
  }
  // Neither part: the input method took its composition back.
  if (!result && !composition) composition = std::u16string();
  CompositionChanged(std::move(result), std::move(composition), cursor);
}

bool TextView::AnswerCharacterPosition(IMECHARPOSITION& position) {
  const std::optional<RECT> caret = CaretRect();
  if (!caret) return false;
  // The caret stands for every character of the composition: the list goes beside it.
  POINT at{caret->left, caret->top};
  ::ClientToScreen(Hwnd(), &at);
  position.pt = at;
  position.cLineHeight = static_cast<UINT>(row_height_);
  RECT document = ClientArea();
  ::MapWindowPoints(Hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&document), 2);
  position.rcDocument = document;
  return true;
}

void TextView::CompleteComposition() {
  if (editor_.Composition().empty()) return;
  const InputMethodContext context(Hwnd());
  if (context) ::ImmNotifyIME(context.get(), NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
}

void TextView::CompositionChanged(std::optional<std::u16string> result,
                                  std::optional<std::u16string> composition, std::size_t cursor) {
  Submit(
      [this, result = std::move(result), composition = std::move(composition), cursor]() mutable {
        if (result) editor_.Commit(*result);
        if (composition) editor_.SetComposition(std::move(*composition), cursor);
      });
}

}  // namespace tambrel::platform::win32
