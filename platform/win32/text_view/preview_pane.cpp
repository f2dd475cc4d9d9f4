#include "platform/win32/text_view/preview_pane.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "platform/editor_edit_box.h"
#include "platform/win32/text_view/text_view.h"
#include "platform/win32/win32_strings.h"

namespace tambrel::platform::win32 {
namespace {

const WindowClass kPaneClass{L"TambrelPreviewPane", 0, IDC_ARROW};

constexpr UINT_PTR kTextSubclass = 1;

int ScreenY(HWND window, LPARAM client_point) {
  POINT point{static_cast<short>(LOWORD(client_point)), static_cast<short>(HIWORD(client_point))};
  ::ClientToScreen(window, &point);
  return point.y;
}

}  // namespace

std::u16string PreviewPaneText(std::u16string_view start) { return PreviewText(start, u"\r\n"); }

PreviewPane::PreviewPane(HWND view, std::u16string_view start, HFONT font, COLORREF text,
                         COLORREF back)
    : view_(view),
      text_color_(text),
      back_color_(back),
      back_brush_(Checked(::CreateSolidBrush(back), "CreateSolidBrush")),
      pane_(CreateHandledWindow(kPaneClass, *this, L"",
                                WindowPlacement{0, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0,
                                                0, 0, 0, ::GetParent(view)})) {
  // Wrapped at the control's width: no horizontal scrolling, as in the text view.
  text_ =
      Checked(::CreateWindowExW(
                  0, L"EDIT", nullptr,
                  WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_NOHIDESEL, 0,
                  0, 0, 0, pane_.get(), nullptr, ::GetModuleHandleW(nullptr), nullptr),
              "CreateWindowExW");
  ::SetWindowSubclass(text_, &PreviewPane::TextProcedure, kTextSubclass,
                      reinterpret_cast<DWORD_PTR>(this));
  ::SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  ::SendMessageW(text_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                 MAKELPARAM(kTextMargin, kTextMargin));
  SetStart(start);
  // Right above the text view, so that whatever already stood above it, such as the strip
  // showing the work, still does.
  const HWND above_view = ::GetWindow(view_, GW_HWNDPREV);
  Place();
  ::SetWindowPos(pane_.get(), above_view != nullptr ? above_view : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

PreviewPane::~PreviewPane() {
  if (dragging_ && ::GetCapture() == text_) ::ReleaseCapture();
  pane_.reset();
}

void PreviewPane::SetStart(std::u16string_view start) {
  ::SetWindowTextW(text_, AsWide(PreviewPaneText(start)));
}

void PreviewPane::SetLook(HFONT font, COLORREF text, COLORREF back) {
  back_brush_.reset(Checked(::CreateSolidBrush(back), "CreateSolidBrush"));
  text_color_ = text;
  back_color_ = back;
  ::SendMessageW(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  ::InvalidateRect(text_, nullptr, TRUE);
}

void PreviewPane::Place() {
  RECT rect{};
  if (!::GetWindowRect(view_, &rect)) return;
  ::MapWindowPoints(HWND_DESKTOP, ::GetParent(view_), reinterpret_cast<POINT*>(&rect), 2);
  ::SetWindowPos(pane_.get(), nullptr, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT PreviewPane::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      if (text_ != nullptr) ::MoveWindow(text_, 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      return 0;
    case WM_ERASEBKGND:
      // The edit control fills the whole pane.
      return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: {
      const auto dc = reinterpret_cast<HDC>(wparam);
      ::SetTextColor(dc, text_color_);
      ::SetBkColor(dc, back_color_);
      return reinterpret_cast<LRESULT>(back_brush_.get());
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCDESTROY:
      text_ = nullptr;
      static_cast<void>(pane_.release());
      break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

LRESULT CALLBACK PreviewPane::TextProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                            UINT_PTR /*id*/, DWORD_PTR self) {
  return reinterpret_cast<PreviewPane*>(self)->HandleTextMessage(window, message, wparam, lparam);
}

LRESULT PreviewPane::HandleTextMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (wparam == HTVSCROLL) {
        ClickScrollBar(
            POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
      }
      return 0;
    // A click in the text would take the focus from the text view, and the right button's menu
    // runs a loop of its own: the preview is only for looking.
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
    case WM_NCMBUTTONDBLCLK:
    case WM_NCXBUTTONDOWN:
    case WM_NCXBUTTONUP:
    case WM_NCXBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
    case WM_XBUTTONDBLCLK:
    case WM_CONTEXTMENU:
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
      if (dragging_) {
        DragThumb(ScreenY(window, lparam));
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (dragging_) {
        dragging_ = false;
        ::ReleaseCapture();
        ::SendMessageW(window, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
      }
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(window, &PreviewPane::TextProcedure, kTextSubclass);
      break;
  }
  return ::DefSubclassProc(window, message, wparam, lparam);
}

void PreviewPane::ClickScrollBar(POINT screen_point) {
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof(bar);
  if (!::GetScrollBarInfo(text_, OBJID_VSCROLL, &bar)) return;
  const int y = screen_point.y - bar.rcScrollBar.top;
  const int length = bar.rcScrollBar.bottom - bar.rcScrollBar.top;
  WORD action = SB_ENDSCROLL;
  if (y < bar.dxyLineButton) {
    action = SB_LINEUP;
  } else if (y >= length - bar.dxyLineButton) {
    action = SB_LINEDOWN;
  } else if (y < bar.xyThumbTop) {
    action = SB_PAGEUP;
  } else if (y >= bar.xyThumbBottom) {
    action = SB_PAGEDOWN;
  } else {
    dragging_ = true;
    drag_offset_ = y - bar.xyThumbTop;
    ::SetCapture(text_);
    return;
  }
  // One step a click: holding the button down does not repeat it.
  ::SendMessageW(text_, WM_VSCROLL, MAKEWPARAM(action, 0), 0);
  ::SendMessageW(text_, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

void PreviewPane::DragThumb(int screen_y) {
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof(bar);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  if (!::GetScrollBarInfo(text_, OBJID_VSCROLL, &bar) || !::GetScrollInfo(text_, SB_VERT, &info)) {
    return;
  }
  const int length = bar.rcScrollBar.bottom - bar.rcScrollBar.top;
  const int track = length - 2 * bar.dxyLineButton - (bar.xyThumbBottom - bar.xyThumbTop);
  const int positions = info.nMax - info.nMin + 1 - static_cast<int>(std::max(info.nPage, 1U));
  if (track <= 0 || positions <= 0) return;
  const int top = screen_y - bar.rcScrollBar.top - drag_offset_ - bar.dxyLineButton;
  const int position = info.nMin + ::MulDiv(std::clamp(top, 0, track), positions, track);
  // Scrolled by lines rather than by a thumb position, which the edit control may read from the
  // scroll bar's own tracking instead of the message.
  const auto first_line = static_cast<int>(::SendMessageW(text_, EM_GETFIRSTVISIBLELINE, 0, 0));
  ::SendMessageW(text_, EM_LINESCROLL, 0, position - first_line);
}

HWND FindShownPreview(HWND window) {
  if (window == nullptr) return nullptr;
  HWND found = nullptr;
  ::EnumChildWindows(
      window,
      [](HWND child, LPARAM found_text) -> BOOL {
        wchar_t name[64] = {};
        if (::GetClassNameW(child, name, 64) == 0 || std::wcscmp(name, kPaneClass.name) != 0 ||
            !::IsWindowVisible(child)) {
          return TRUE;
        }
        *reinterpret_cast<HWND*>(found_text) = ::GetWindow(child, GW_CHILD);
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace tambrel::platform::win32
