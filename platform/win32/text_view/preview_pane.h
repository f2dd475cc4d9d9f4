#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/win32_handles.h"
#include "platform/win32/window/window_procedure.h"

namespace tambrel::platform::win32 {

// The start of a document as the preview shows it: every line break made CR LF, as the system's
// edit control wants, then an empty line and the note that the rest is still coming.
std::u16string PreviewPaneText(std::u16string_view start);

// The read-only view of a document's start that covers the text view while the rest is read:
// a system multiline edit control, so that the user can scroll it with the scroll bar and the
// wheel, inside a pane of the program's own class that gives it the text view's colours (a
// read-only edit asks its parent for them). The pane is a sibling of the text view, above it in
// the same place; it takes no focus, so the keys typed meanwhile stay the text view's. Clicks
// on the scroll bar are handled here rather than by the system's tracking loop, which would
// dispatch every key and click of the queue while the button is held, before the document is
// read. The pane goes with this object.
class PreviewPane final : private MessageHandler {
 public:
  PreviewPane(HWND view, std::u16string_view start, HFONT font, COLORREF text, COLORREF back);
  ~PreviewPane() override;
  PreviewPane(const PreviewPane&) = delete;
  PreviewPane& operator=(const PreviewPane&) = delete;

  // The edit control, whose messages the waiting loop lets through.
  HWND Text() const { return text_; }
  void SetStart(std::u16string_view start);
  void SetLook(HFONT font, COLORREF text, COLORREF back);
  // Takes the text view's place again, after it moved or changed its size.
  void Place();

 private:
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  static LRESULT CALLBACK TextProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR id, DWORD_PTR self);
  LRESULT HandleTextMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void ClickScrollBar(POINT screen_point);
  void DragThumb(int screen_y);

  HWND view_;
  COLORREF text_color_;
  COLORREF back_color_;
  GdiObject<HBRUSH> back_brush_;
  // A child of the pane, destroyed with it; before the pane, which may hear of its size while
  // it is being made.
  HWND text_ = nullptr;
  UniqueWindow pane_;
  // While the scroll box is dragged: how far below its top it was taken.
  bool dragging_ = false;
  int drag_offset_ = 0;
};

// The edit control of the preview shown among the children of `window`, at any depth; null when
// none shows.
HWND FindShownPreview(HWND window);

}  // namespace tambrel::platform::win32
