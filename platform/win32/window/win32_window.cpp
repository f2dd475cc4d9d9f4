#include "platform/win32/window/win32_window.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>

#include "platform/common_dialog.h"
#include "platform/win32/text_view/win32_edit_box.h"
#include "platform/win32/win32_strings.h"
#include "platform/win32/win32_twips.h"
#include "platform/win32/window/win32_picture_box.h"
#include "platform/win32/window/win32_system_colors.h"
#include "platform/win32/window/win32_user_dialogs.h"
#include "resources/windows/resource_ids.h"

namespace tambrel::platform::win32 {
namespace {

const WindowClass kFrameClass{L"TambrelWindow", 0, IDC_ARROW};
constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kFrameExStyle = WS_EX_APPWINDOW;

// The icon the program's resource script compiles in; a program without it shows the system's.
UniqueIcon LoadApplicationIcon(int size) {
  return UniqueIcon(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                    MAKEINTRESOURCEW(TAMBREL_IDI_APPLICATION),
                                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

// Posted to the frame by its own activation, so the handler runs once the activation is over: a
// dialog shown inside WM_ACTIVATE would fight the activation for the focus.
constexpr UINT kActivated = WM_APP + 1;

int RectWidth(const RECT& rect) { return rect.right - rect.left; }
int RectHeight(const RECT& rect) { return rect.bottom - rect.top; }

}  // namespace

Win32Window::Win32Window(const WindowDefinition& definition, std::unique_ptr<UserDialogs> dialogs,
                         const SystemColors& desktop, std::function<void()> on_destroyed)
    : on_destroyed_(std::move(on_destroyed)),
      menu_bar_(definition.menus),
      window_(CreateHandledWindow(kFrameClass, *this, AsWide(definition.caption),
                                  WindowPlacement{kFrameExStyle, kFrameStyle, CW_USEDEFAULT,
                                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                                  nullptr})),
      dialogs_(std::move(dialogs)) {
  windows_by_name_[definition.name] = window_.get();
  // Long work shows its progress along the bottom of the frame.
  work_.SetWindow(window_.get());
  menu_bar_.Attach(window_.get());
  if (!dialogs_) {
    dialogs_ = std::make_unique<Win32UserDialogs>(window_.get(), definition.caption, desktop);
  }
  LoadIcons();
  BuildControls(definition, desktop);
  for (const auto& entry : menu_bar_.Entries()) controls_.push_back(entry.get());
  SizeClientArea(definition.client_width, definition.client_height);
}

Win32Window::~Win32Window() {
  // Nothing of the program may run while the window goes away.
  DetachHandlers();
  // Children before their containers, and all before the frame, each while its owner still
  // exists to answer its last messages.
  while (!owned_.empty()) owned_.pop_back();
  work_.SetWindow(nullptr);
  window_.reset();
}

void Win32Window::DetachHandlers() {
  resize_ = nullptr;
  unload_ = nullptr;
  activate_ = nullptr;
  for (Control* control : controls_) {
    if (auto* edit = dynamic_cast<EditBox*>(control)) {
      edit->OnChange(nullptr);
      edit->OnKeyUp(nullptr);
      edit->OnMouseUp(nullptr);
      edit->OnDrop(nullptr);
      edit->SetHook(nullptr);
    }
  }
  for (Win32Timer* timer : timers_) timer->OnTimer(nullptr);
}

HWND Win32Window::ContainerWindow(const std::string& name) const {
  const auto found = windows_by_name_.find(name);
  return found != windows_by_name_.end() ? found->second : window_.get();
}

void Win32Window::BuildControls(const WindowDefinition& definition,
                                const SystemColors& desktop) {
  int focus_tab_index = INT_MAX;
  for (const ControlDefinition& control : definition.controls) {
    const HWND parent = ContainerWindow(control.container);
    const FontChoice font = control.font.value_or(FontChoice{});
    std::unique_ptr<Control> made;
    HWND child = nullptr;
    switch (control.kind) {
      case ControlKind::kTimer: {
        auto timer = std::make_unique<Win32Timer>(control.name, window_.get(), timers_.size() + 1);
        timer->SetInterval(control.interval);
        timer->SetEnabled(control.enabled);
        timers_.push_back(timer.get());
        made = std::move(timer);
        break;
      }
      case ControlKind::kCommonDialog:
        made = std::make_unique<CommonDialog>(control.name, *dialogs_);
        break;
      case ControlKind::kContainer: {
        auto box = std::make_unique<Win32Container>(control.name, parent,
                                                    PaintColor(control.back_color, desktop));
        child = box->Hwnd();
        made = std::move(box);
        break;
      }
      case ControlKind::kPictureBox: {
        auto picture = std::make_unique<Win32PictureBox>(
            control.name, parent, control.back_color, control.fore_color, font, desktop);
        child = picture->Hwnd();
        made = std::move(picture);
        break;
      }
      case ControlKind::kEditBox: {
        auto edit = std::make_unique<Win32EditBox>(control.name, parent, control.back_color,
                                                   control.fore_color, font, work_);
        child = edit->Hwnd();
        // Files dropped from Explorer reach the edit box as WM_DROPFILES.
        ::DragAcceptFiles(child, control.accepts_drops ? TRUE : FALSE);
        if (control.tab_index >= 0 && control.tab_index < focus_tab_index) {
          focus_tab_index = control.tab_index;
          focus_child_ = child;
        }
        made = std::move(edit);
        break;
      }
    }
    if (child != nullptr) {
      windows_by_name_[control.name] = child;
      made->Move(control.left, control.top, control.width, control.height);
    }
    controls_.push_back(made.get());
    owned_.push_back(std::move(made));
  }
}

void Win32Window::SizeClientArea(int width_twips, int height_twips) {
  // The design size is that of the client area below the menu bar; the frame grows around it.
  const unsigned dpi = WindowDpi(window_.get());
  const int width = TwipsToPixels(width_twips, dpi);
  const int height = TwipsToPixels(height_twips, dpi);
  RECT frame{0, 0, width, height};
  ::AdjustWindowRectExForDpi(&frame, kFrameStyle, TRUE, kFrameExStyle, dpi);
  SetOuterSize(RectWidth(frame), RectHeight(frame));
  // A menu bar too wide for the window wraps onto more rows than the calculation allowed for.
  RECT client{};
  ::GetClientRect(window_.get(), &client);
  if (client.right != width || client.bottom != height) {
    SetOuterSize(RectWidth(frame) + width - client.right,
                 RectHeight(frame) + height - client.bottom);
  }
}

void Win32Window::LoadIcons() {
  const unsigned dpi = WindowDpi(window_.get());
  big_icon_ = LoadApplicationIcon(::GetSystemMetricsForDpi(SM_CXICON, dpi));
  small_icon_ = LoadApplicationIcon(::GetSystemMetricsForDpi(SM_CXSMICON, dpi));
  ::SendMessageW(window_.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
  ::SendMessageW(window_.get(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(small_icon_.get()));
}

SIZE Win32Window::OuterSize() const {
  if (!window_) return SIZE{0, 0};
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if (::IsIconic(window_.get()) && ::GetWindowPlacement(window_.get(), &placement)) {
    return SIZE{RectWidth(placement.rcNormalPosition), RectHeight(placement.rcNormalPosition)};
  }
  RECT frame{};
  ::GetWindowRect(window_.get(), &frame);
  return SIZE{RectWidth(frame), RectHeight(frame)};
}

void Win32Window::SetOuterSize(int width, int height) {
  if (!window_) return;
  width = std::max(width, 1);
  height = std::max(height, 1);
  WINDOWPLACEMENT placement{};
  placement.length = sizeof(placement);
  if ((::IsIconic(window_.get()) || ::IsZoomed(window_.get())) &&
      ::GetWindowPlacement(window_.get(), &placement)) {
    // A minimised or maximised window keeps the size for when it is restored.
    RECT& normal = placement.rcNormalPosition;
    normal.right = normal.left + width;
    normal.bottom = normal.top + height;
    ::SetWindowPlacement(window_.get(), &placement);
    return;
  }
  ::SetWindowPos(window_.get(), nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

float Win32Window::Width() const {
  return PixelsToTwips(OuterSize().cx, WindowDpi(window_.get()));
}

float Win32Window::Height() const {
  return PixelsToTwips(OuterSize().cy, WindowDpi(window_.get()));
}

void Win32Window::SetWidth(float twips) {
  SetOuterSize(TwipsToPixels(twips, WindowDpi(window_.get())), OuterSize().cy);
}

void Win32Window::SetHeight(float twips) {
  SetOuterSize(OuterSize().cx, TwipsToPixels(twips, WindowDpi(window_.get())));
}

float Win32Window::ScaleWidth() const {
  RECT client{};
  if (!window_ || !::GetClientRect(window_.get(), &client)) return 0;
  return PixelsToTwips(client.right, WindowDpi(window_.get()));
}

float Win32Window::ScaleHeight() const {
  RECT client{};
  if (!window_ || !::GetClientRect(window_.get(), &client)) return 0;
  return PixelsToTwips(client.bottom, WindowDpi(window_.get()));
}

WindowState Win32Window::State() const {
  if (window_ && ::IsIconic(window_.get())) return WindowState::kMinimized;
  if (window_ && ::IsZoomed(window_.get())) return WindowState::kMaximized;
  return WindowState::kNormal;
}

void Win32Window::SetState(WindowState state) {
  if (!window_) return;
  switch (state) {
    case WindowState::kNormal:
      ::ShowWindow(window_.get(), SW_SHOWNORMAL);
      // A window minimised from maximised comes back maximised first.
      if (::IsZoomed(window_.get())) ::ShowWindow(window_.get(), SW_SHOWNORMAL);
      break;
    case WindowState::kMinimized:
      ::ShowWindow(window_.get(), SW_MINIMIZE);
      break;
    case WindowState::kMaximized:
      ::ShowWindow(window_.get(), SW_SHOWMAXIMIZED);
      break;
  }
}

void Win32Window::Show() {
  if (!window_) return;
  if (State() == WindowState::kNormal) {
    // Centred in the work area of the primary monitor, clear of the taskbar. A window larger
    // than the work area keeps its title bar on the screen, where the user can grab it.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    const HMONITOR primary = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (::GetMonitorInfoW(primary, &monitor)) {
      const SIZE size = OuterSize();
      const RECT& work = monitor.rcWork;
      const int left = std::max<int>(work.left, work.left + (RectWidth(work) - size.cx) / 2);
      const int top = std::max<int>(work.top, work.top + (RectHeight(work) - size.cy) / 2);
      ::SetWindowPos(window_.get(), nullptr, left, top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  ::ShowWindow(window_.get(), SW_SHOW);
  ::UpdateWindow(window_.get());
}

bool Win32Window::IsVisible() const { return window_ && ::IsWindowVisible(window_.get()); }

void Win32Window::Close() {
  // As the close box does: the unload handler may keep the window open.
  if (window_) ::SendMessageW(window_.get(), WM_CLOSE, 0, 0);
}

void Win32Window::Closing(HWND window) {
  std::int16_t cancel = 0;
  if (unload_) unload_(cancel);
  if (cancel == 0) ::DestroyWindow(window);
}

void Win32Window::Tick(UINT_PTR timer_id) {
  for (Win32Timer* timer : timers_) {
    if (timer->Id() == timer_id) timer->Tick();
  }
}

bool Win32Window::PreTranslate(MSG& message) {
  const HACCEL keys = menu_bar_.Accelerators();
  return window_ && keys != nullptr && ::TranslateAcceleratorW(window_.get(), keys, &message);
}

LRESULT Win32Window::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      // Minimising and restoring count as resizes too, as the layout expects.
      if (resize_) resize_();
      return 0;
    case WM_CLOSE:
      Closing(window);
      return 0;
    case WM_COMMAND:
      // A menu item (0) or its function key (1); controls send their own notifications.
      if (lparam == 0 && HIWORD(wparam) <= 1 && menu_bar_.RunCommand(LOWORD(wparam))) return 0;
      break;
    case WM_TIMER:
      Tick(wparam);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) ::PostMessageW(window, kActivated, 0, 0);
      break;  // the default procedure gives the frame the focus, and WM_SETFOCUS its child
    case kActivated:
      if (activate_) activate_();
      return 0;
    case WM_SETFOCUS:
      if (focus_child_ != nullptr && ::IsWindow(focus_child_)) ::SetFocus(focus_child_);
      return 0;
    case WM_ERASEBKGND: {
      RECT client{};
      ::GetClientRect(window, &client);
      ::FillRect(reinterpret_cast<HDC>(wparam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_DPICHANGED: {
      // Moved to a monitor of another DPI: take the size Windows suggests for it. The resize that
      // follows lays the controls out again in pixels of the new DPI.
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      ::SetWindowPos(window, nullptr, suggested->left, suggested->top, RectWidth(*suggested),
                     RectHeight(*suggested), SWP_NOZORDER | SWP_NOACTIVATE);
      LoadIcons();
      return 0;
    }
    case WM_DESTROY:
      // The menus are the menu bar's own; the system would destroy them with the window.
      MenuBar::Detach(window);
      for (Win32Timer* timer : timers_) timer->SetEnabled(false);
      if (on_destroyed_) on_destroyed_();
      return 0;
    case WM_NCDESTROY:
      static_cast<void>(window_.release());
      break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace tambrel::platform::win32
