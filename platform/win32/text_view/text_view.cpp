#include "platform/win32/text_view/text_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/win32/text_view/input_method_context.h"
#include "platform/win32/text_view/text_drag_and_drop.h"
#include "platform/win32/text_view/uniscribe_char_metrics.h"
#include "text/clusters.h"

namespace tambrel::platform::win32 {
namespace {

// Asks the view to do what waited for a command reading the text, once that command returned.
constexpr UINT kRunWaitingInput = WM_APP + 1;
// Asks the view to hand on the files of a drop that is over.
constexpr UINT kDeliverDroppedFiles = WM_APP + 2;

const WindowClass kTextViewClass{L"TambrelTextView", CS_DBLCLKS, IDC_IBEAM};

}  // namespace

TextView::TextView(HWND parent, editor::Editor& editor, UniscribeRowGeometry& geometry)
    : editor_(editor), geometry_(geometry) {
  window_ = CreateHandledWindow(
      kTextViewClass, *this, L"",
      WindowPlacement{0, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_CLIPSIBLINGS, 0, 0, 0,
                      0, parent});
  editor_.on_change = [this](unsigned changed) { OnEditorChanged(changed); };
  // What waited for a command to finish is done once the command has returned to the loop.
  editor_.Input().on_released = [this] { ::PostMessageW(Hwnd(), kRunWaitingInput, 0, 0); };
  ::DragAcceptFiles(Hwnd(), TRUE);
  drag_and_drop_ = TextDragAndDrop::Register(*this);
  FontChanged();
}

TextView::~TextView() {
  editor_.on_change = nullptr;
  editor_.Input().on_released = nullptr;
  drag_and_drop_.reset();
  // The window goes before the members its messages would reach.
  window_.reset();
}

void TextView::Submit(std::function<void()> action) { editor_.Input().Submit(std::move(action)); }

void TextView::FilesDropped(std::vector<std::u16string> files) {
  if (files.empty()) return;
  dropped_files_.push_back(std::move(files));
  ::PostMessageW(Hwnd(), kDeliverDroppedFiles, 0, 0);
}

void TextView::OnEditorChanged(unsigned changed) {
  if (changed & (editor::kTextChanged | editor::kLookChanged | editor::kViewMoved)) {
    SyncScrollBar();
    ScheduleCounting();
  }
  Repaint();
  UpdateCaret();
  if ((changed & editor::kTextChanged) && text_changed) text_changed();
  if ((changed & editor::kViewMoved) && rows_moved) rows_moved();
}

// --- Look ------------------------------------------------------------------------------------

void TextView::SetColors(COLORREF text, COLORREF background) {
  text_color_ = text;
  background_ = background;
  Repaint();
}

void TextView::FontChanged() {
  row_height_ = geometry_.Font().RowHeight();
  Relayout();
  if (has_focus_) {
    InputMethodContext(Hwnd()).SetFont(geometry_.Font().Font());
    // A caret of the new height.
    caret_size_ = SIZE{};
    UpdateCaret();
  }
}

void TextView::Relayout() {
  geometry_.SetWidth(WrapWidth());
  editor_.SetVisibleRows(VisibleRows());
  editor_.SetLayout(
      std::make_unique<text::CharMetrics>(UniscribeCharMetrics(geometry_.SharedFont())),
      WrapWidth());
}

RECT TextView::ClientArea() const {
  RECT area{};
  ::GetClientRect(Hwnd(), &area);
  return area;
}

float TextView::WrapWidth() const {
  const RECT area = ClientArea();
  return static_cast<float>(std::max(1L, area.right - area.left - 2 * kTextMargin));
}

int TextView::VisibleRows() const {
  const RECT area = ClientArea();
  return std::max(1, static_cast<int>(area.bottom - area.top - kTextMargin) / row_height_);
}

void TextView::Repaint() {
  if (Hwnd() != nullptr) ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

// --- Scrolling and counting -----------------------------------------------------------------

void TextView::SyncScrollBar() {
  const editor::ScrollBarState state = editor_.View().ScrollBar();
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  // Always shown, so that the rows' width does not change with the length of the text.
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  info.nMin = 0;
  // Windows counts the range to the last row of the last page; the editor to the top row of it.
  info.nMax = state.maximum + state.page - 1;
  info.nPage = static_cast<UINT>(state.page);
  info.nPos = state.value;
  ::SetScrollInfo(Hwnd(), SB_VERT, &info, TRUE);
}

void TextView::OnVerticalScroll(WORD request) {
  const editor::ScrollBarState state = editor_.View().ScrollBar();
  switch (request) {
    case SB_LINEUP:
      editor_.ScrollBy(-1);
      break;
    case SB_LINEDOWN:
      editor_.ScrollBy(1);
      break;
    case SB_PAGEUP:
      editor_.ScrollBy(-state.page);
      break;
    case SB_PAGEDOWN:
      editor_.ScrollBy(state.page);
      break;
    case SB_TOP:
      editor_.ScrollToBarValue(0);
      break;
    case SB_BOTTOM:
      editor_.ScrollToBarValue(state.maximum);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      // The message carries only 16 bits of the position; the bar itself has all 32.
      SCROLLINFO info{};
      info.cbSize = sizeof(info);
      info.fMask = SIF_TRACKPOS;
      if (::GetScrollInfo(Hwnd(), SB_VERT, &info)) editor_.ScrollToBarValue(info.nTrackPos);
      break;
    }
    default:
      break;
  }
}

void TextView::OnMouseWheel(int delta) {
  // Fine-grained wheels send less than a notch at a time: the rest waits for the next message.
  wheel_remainder_ += delta;
  const int notches = wheel_remainder_ / WHEEL_DELTA;
  if (notches == 0) return;
  wheel_remainder_ -= notches * WHEEL_DELTA;
  UINT lines = 3;
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const std::ptrdiff_t rows =
      lines == WHEEL_PAGESCROLL ? editor_.View().VisibleRows() : static_cast<std::ptrdiff_t>(lines);
  editor_.ScrollBy(-notches * rows);
}

void TextView::ScheduleCounting() {
  if (counting_ || editor_.View().AllCounted()) return;
  // Timer messages come only when nothing else waits: the rows are counted while the user rests.
  counting_ = ::SetTimer(Hwnd(), kCountingTimer, USER_TIMER_MINIMUM, nullptr) != 0;
}

void TextView::OnTimer(UINT_PTR timer) {
  if (timer == kCountingTimer) {
    if (!editor_.CountSome()) {
      ::KillTimer(Hwnd(), kCountingTimer);
      counting_ = false;
    }
    SyncScrollBar();
  } else if (timer == kDragScrollTimer) {
    POINT at{};
    ::GetCursorPos(&at);
    ::ScreenToClient(Hwnd(), &at);
    const RECT area = ClientArea();
    if (at.y < area.top) editor_.ScrollBy(-1);
    if (at.y >= area.bottom) editor_.ScrollBy(1);
    Submit([this, row = ScreenRowAt(at), x = TextXAt(at)] { editor_.DragTo(row, x); });
  }
}

// --- The caret -------------------------------------------------------------------------------

std::optional<RECT> TextView::CaretRect() {
  if (!editor_.Composition().empty()) return CompositionCursorRect();
  const std::optional<editor::Editor::CaretSpot> spot = editor_.CaretOnScreen();
  if (!spot) return std::nullopt;
  const int x = kTextMargin + static_cast<int>(std::lround(spot->x));
  const int y = kTextMargin + static_cast<int>(spot->screen_row) * row_height_;
  DWORD width = 1;
  ::SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &width, 0);
  RECT rect{x, y, x + static_cast<int>(std::max<DWORD>(width, 1)), y + row_height_};
  if (editor_.Overwriting()) {
    // Overwriting shows the caret as a block over the character that typing would replace.
    const editor::ScreenRow& row = editor_.Rows()[spot->screen_row];
    const std::size_t caret = editor_.GetSelection().caret.position;
    int block = geometry_.Font().AverageCharWidth();
    if (caret < row.end) {
      // Either side of the caret, as the character's direction puts it.
      std::u16string scratch;
      const editor::RowText text = editor_.TextOf(row, scratch);
      const std::size_t offset = caret - row.start;
      const float here = geometry_.XOfOffset(text, offset);
      const float there = geometry_.XOfOffset(text, text::NextClusterBoundary(text.text, offset));
      rect.left = kTextMargin + static_cast<int>(std::lround(std::min(here, there)));
      block = static_cast<int>(std::lround(std::abs(there - here)));
    }
    rect.right = rect.left + std::max(1, block);
  }
  return rect;
}

std::optional<RECT> TextView::CompositionCursorRect() {
  const std::optional<std::size_t> index = editor_.View().IndexOnScreen(editor_.CaretPlace());
  if (!index) return std::nullopt;
  std::u16string scratch;
  const editor::Direction direction = editor_.TextOf(editor_.Rows()[*index], scratch).direction;
  int y = kTextMargin + static_cast<int>(*index) * row_height_;
  for (const editor::ComposedRow& composed : editor_.ComposedCaretRow()) {
    if (composed.cursor) {
      const editor::RowText text{composed.text, direction};
      const int x =
          kTextMargin + static_cast<int>(std::lround(geometry_.XOfOffset(text, *composed.cursor)));
      return RECT{x, y, x + 1, y + row_height_};
    }
    y += row_height_;
  }
  return std::nullopt;
}

void TextView::UpdateCaret() {
  if (!has_focus_) return;
  const std::optional<RECT> rect = CaretRect();
  if (!rect) {
    if (caret_shown_) ::HideCaret(Hwnd());
    caret_shown_ = false;
    return;
  }
  const SIZE size{rect->right - rect->left, rect->bottom - rect->top};
  if (size.cx != caret_size_.cx || size.cy != caret_size_.cy) {
    // A new caret starts hidden.
    ::CreateCaret(Hwnd(), nullptr, size.cx, size.cy);
    caret_size_ = size;
    caret_shown_ = false;
  }
  ::SetCaretPos(rect->left, rect->top);
  if (!caret_shown_) caret_shown_ = ::ShowCaret(Hwnd()) != 0;
  PlaceInputMethodWindows(*rect);
}

void TextView::DropCaret() {
  ::DestroyCaret();
  caret_size_ = SIZE{};
  caret_shown_ = false;
}

void TextView::PlaceInputMethodWindows(const RECT& caret) {
  InputMethodContext context(Hwnd());
  context.FollowCaret(caret);
}

// --- Messages --------------------------------------------------------------------------------

LRESULT TextView::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message_seen) message_seen();
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      // Every pixel is painted from the off-screen image: nothing to erase, nothing to flicker.
      return 1;
    case WM_SIZE:
      back_buffer_.reset();
      geometry_.SetWidth(WrapWidth());
      editor_.SetVisibleRows(VisibleRows());
      editor_.SetWidth(WrapWidth());
      SyncScrollBar();
      return 0;
    case WM_SETFOCUS:
      has_focus_ = true;
      InputMethodContext(window).SetFont(geometry_.Font().Font());
      UpdateCaret();
      return 0;
    case WM_KILLFOCUS:
      has_focus_ = false;
      DropCaret();
      return 0;
    case WM_GETDLGCODE:
      // Tabs, Return and the arrows are the editor's, not the dialog manager's.
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_VSCROLL:
      OnVerticalScroll(LOWORD(wparam));
      return 0;
    case WM_MOUSEWHEEL:
      OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wparam));
      return 0;
    case WM_TIMER:
      OnTimer(wparam);
      return 0;
    case WM_KEYDOWN:
      if (OnKeyDown(static_cast<UINT>(wparam))) return 0;
      break;
    case WM_KEYUP:
      if (key_up) {
        const std::int16_t shift = static_cast<std::int16_t>(
            (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
            (::GetKeyState(VK_MENU) < 0 ? 4 : 0));
        key_up(static_cast<std::int16_t>(wparam), shift);
      }
      return 0;
    case WM_CHAR:
      OnChar(static_cast<wchar_t>(wparam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      OnButtonDown(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, message == WM_LBUTTONDBLCLK);
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)}, wparam);
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(1, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      return 0;
    case WM_RBUTTONUP:
      OnButtonUp(2, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      // On to DefWindowProc, which sends WM_CONTEXTMENU.
      break;
    case WM_MBUTTONUP:
      OnButtonUp(4, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
      return 0;
    case WM_CAPTURECHANGED:
      EndMouseSelection();
      return 0;
    case WM_CONTEXTMENU:
      OnContextMenu(lparam);
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wparam));
      return 0;
    case WM_DPICHANGED_AFTERPARENT:
      if (dpi_changed) dpi_changed();
      return 0;
    case WM_IME_SETCONTEXT:
      // The view shows the composition itself, in the text; the input method shows only its
      // candidates.
      return ::DefWindowProcW(window, message, wparam, lparam & ~ISC_SHOWUICOMPOSITIONWINDOW);
    case WM_IME_STARTCOMPOSITION:
      UpdateCaret();
      return 0;
    case WM_IME_COMPOSITION:
      OnImeComposition(lparam);
      return 0;
    case WM_IME_REQUEST:
      if (wparam == IMR_QUERYCHARPOSITION && lparam != 0 &&
          AnswerCharacterPosition(*reinterpret_cast<IMECHARPOSITION*>(lparam))) {
        return TRUE;
      }
      break;
    case WM_IME_ENDCOMPOSITION:
      if (!editor_.Composition().empty()) CompositionChanged(std::nullopt, std::u16string(), 0);
      return 0;
    case kRunWaitingInput:
      editor_.Input().RunWaiting();
      return 0;
    case kDeliverDroppedFiles:
      for (std::vector<std::u16string>& files : std::exchange(dropped_files_, {})) {
        Submit([this, files = std::move(files)]() mutable {
          if (files_dropped) files_dropped(std::move(files));
        });
      }
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace tambrel::platform::win32
