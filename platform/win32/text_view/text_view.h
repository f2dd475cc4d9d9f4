#pragma once

// imm.h and shellapi.h need the types of windows.h declared before them.
// clang-format off
#include <windows.h>
#include <imm.h>
#include <shellapi.h>
// clang-format on

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "platform/win32/text_view/click_counter.h"
#include "platform/win32/text_view/context_menu.h"
#include "platform/win32/text_view/text_drag_and_drop.h"
#include "platform/win32/text_view/uniscribe_row_geometry.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/window/window_procedure.h"

namespace tambrel::platform::win32 {

// Room between the window's edges and the text, as a plain-text edit leaves it.
inline constexpr int kTextMargin = 4;

// The editor on the screen: a child window that turns Windows' messages into the shared editor's
// calls and paints the rows the editor says are in view. What the editor does with a key, a click
// or a commit is the editor's business; what is Windows' own stays here: painting with GDI and
// Uniscribe, the system caret, the scroll bar, the clipboard, the input method, dragging and
// dropping.
class TextView final : public MessageHandler {
 public:
  TextView(HWND parent, editor::Editor& editor, UniscribeRowGeometry& geometry);
  ~TextView() override;
  TextView(const TextView&) = delete;
  TextView& operator=(const TextView&) = delete;

  HWND Hwnd() const { return window_.get(); }
  editor::Editor& Model() { return editor_; }
  void SetColors(COLORREF text, COLORREF background);
  // After the geometry's font changed: the rows' height and the editor's measures follow it.
  void FontChanged();
  int RowHeight() const { return row_height_; }
  // Pixels from the window's top edge to the top of the first row.
  int FirstRowTop() const { return kTextMargin; }

  // What the view tells its owner.
  std::function<void()> text_changed;
  // The view moved, or the numbering of its rows became known or changed.
  std::function<void()> rows_moved;
  // Every message the window receives, before the view handles it.
  std::function<void()> message_seen;
  std::function<void(std::int16_t key, std::int16_t shift)> key_up;
  std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> mouse_up;
  std::function<void(std::vector<std::u16string> files)> files_dropped;
  // The window moved to a monitor of another DPI: the font is wanted again at the new one.
  std::function<void()> dpi_changed;

  // The editor's actions behind the keys and the context menu.
  void Copy();
  void Cut();
  void Paste();
  void RunCommand(ContextCommand command);
  ContextMenuState MenuState() const;

  // Paints everything the view shows, as WM_PAINT does into its off-screen image.
  void PaintTo(HDC dc, const RECT& area);
  // The off-screen image the last WM_PAINT was drawn in, while the size stays the same.
  const MemoryDc* BackBuffer() const { return back_buffer_.get(); }

  // The input method's messages, as the window procedure hands them on.
  void CompositionChanged(std::optional<std::u16string> result,
                          std::optional<std::u16string> composition, std::size_t cursor);

  // --- For the drag and drop of text ---------------------------------------------------------
  // The point's row from the top of the view, and its x from the text's left edge.
  std::ptrdiff_t ScreenRowAt(POINT point) const;
  float TextXAt(POINT point) const;
  std::size_t DropPosition(POINT point);
  // The view as OLE drops on it; nothing when the thread has no OLE.
  IDropTarget* DropTarget() const { return drag_and_drop_ ? drag_and_drop_->Target() : nullptr; }
  // Where a drag over the view would drop, shown as a caret; nothing when none.
  void ShowDropCaret(std::optional<std::size_t> position);
  // Runs a user action on the editor now, or once the command reading the text has finished.
  void Submit(std::function<void()> action);
  // Hands dropped files to files_dropped once the drop is over, so that a question the handler
  // asks does not keep the program the files came from waiting.
  void FilesDropped(std::vector<std::u16string> files);

  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  // What the editor changed, brought to the screen.
  void OnEditorChanged(unsigned changed);
  void Relayout();
  float WrapWidth() const;
  int VisibleRows() const;
  RECT ClientArea() const;
  void Repaint();
  void SyncScrollBar();
  void ScheduleCounting();
  void OnTimer(UINT_PTR timer);

  // The system caret, the input method's windows beside it.
  void UpdateCaret();
  void DropCaret();
  std::optional<RECT> CaretRect();
  std::optional<RECT> CompositionCursorRect();
  void PlaceInputMethodWindows(const RECT& caret);

  void OnPaint();
  void PaintRow(HDC dc, const editor::ScreenRow& row, int y);
  int PaintComposition(HDC dc, const editor::ScreenRow& row, int y);
  void PaintDropCaret(HDC dc, const editor::ScreenRow& row, int y);

  bool OnKeyDown(UINT key);
  bool HandleNavigation(UINT key, bool control, bool shift);
  bool HandleEditing(UINT key, bool control, bool shift);
  void OnChar(wchar_t unit);
  void OnVerticalScroll(WORD request);
  void OnMouseWheel(int delta);
  void OnButtonDown(POINT point, bool double_click);
  void OnMouseMove(POINT point, WPARAM buttons);
  void OnButtonUp(std::int16_t button, POINT point);
  void OnContextMenu(LPARAM lparam);
  void OnDropFiles(HDROP drop);
  void OnImeComposition(LPARAM parts);
  // Where the input method's candidates go, for a method that asks rather than being told.
  bool AnswerCharacterPosition(IMECHARPOSITION& position);
  // A click elsewhere ends what the input method composes: it commits it as it stands.
  void CompleteComposition();
  void EndMouseSelection();

  static constexpr UINT_PTR kCountingTimer = 1;
  static constexpr UINT_PTR kDragScrollTimer = 2;

  editor::Editor& editor_;
  UniscribeRowGeometry& geometry_;
  UniqueWindow window_;
  int row_height_ = 16;
  COLORREF text_color_ = RGB(0, 0, 0);
  COLORREF background_ = RGB(255, 255, 255);
  std::unique_ptr<MemoryDc> back_buffer_;

  // The system caret, while the view has the focus.
  bool has_focus_ = false;
  SIZE caret_size_{};
  bool caret_shown_ = false;

  bool counting_ = false;
  bool selecting_with_mouse_ = false;
  // A press inside the selection may start dragging it; where it was, until the mouse moves.
  bool may_drag_ = false;
  POINT press_point_{};
  ClickCounter clicks_;
  int wheel_remainder_ = 0;
  // The first half of a character beyond the BMP, until the second arrives.
  std::optional<wchar_t> high_surrogate_;
  std::optional<std::size_t> drop_caret_;
  std::vector<std::vector<std::u16string>> dropped_files_;
  std::unique_ptr<TextDragAndDrop> drag_and_drop_;
};

}  // namespace tambrel::platform::win32
