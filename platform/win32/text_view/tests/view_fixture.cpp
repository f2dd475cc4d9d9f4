#include "platform/win32/text_view/tests/view_fixture.h"

#include <array>

#include "platform/win32/text_view/uniscribe_char_metrics.h"

namespace tambrel::platform::win32 {

UniqueWindow CreateHostWindow(int width, int height) {
  // Any class will do for a window that only holds the view; STATIC is always there.
  HWND host =
      ::CreateWindowExW(0, L"STATIC", L"Tambrel", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                        width, height, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  return UniqueWindow(host);
}

ViewFixture::ViewFixture() : host_(CreateHostWindow(600, 500)) {
  box_ = std::make_unique<Win32EditBox>("Text1", host_.get(), kWhite, kBlack, DefaultTestFont(),
                                        work_);
  ::ShowWindow(host_.get(), SW_SHOW);
  ::MoveWindow(View(), 0, 0, 420, 300, TRUE);
  ::SetFocus(View());
  Pump();
}

ViewFixture::~ViewFixture() {
  HoldModifiers(kNoModifier);
  box_.reset();
}

LRESULT ViewFixture::Send(UINT message, WPARAM wparam, LPARAM lparam) {
  return ::SendMessageW(View(), message, wparam, lparam);
}

void ViewFixture::HoldModifiers(unsigned modifiers) {
  std::array<BYTE, 256> state{};
  ::GetKeyboardState(state.data());
  const auto set = [&state](int key, bool down) { state[key] = down ? 0x80 : 0; };
  set(VK_SHIFT, modifiers & kShift);
  set(VK_LSHIFT, modifiers & kShift);
  set(VK_CONTROL, modifiers & kControl);
  set(VK_LCONTROL, modifiers & kControl);
  ::SetKeyboardState(state.data());
}

void ViewFixture::Key(UINT key, unsigned modifiers) {
  HoldModifiers(modifiers);
  Send(WM_KEYDOWN, key, 1);
  Send(WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
  HoldModifiers(kNoModifier);
}

void ViewFixture::Type(std::u16string_view units) {
  for (const char16_t unit : units) Send(WM_CHAR, unit, 1);
}

void ViewFixture::Click(POINT point, unsigned modifiers) {
  HoldModifiers(modifiers);
  const LPARAM at = MAKELPARAM(point.x, point.y);
  WPARAM buttons = MK_LBUTTON;
  if (modifiers & kShift) buttons |= MK_SHIFT;
  if (modifiers & kControl) buttons |= MK_CONTROL;
  Send(WM_LBUTTONDOWN, buttons, at);
  Send(WM_LBUTTONUP, buttons & ~static_cast<WPARAM>(MK_LBUTTON), at);
  HoldModifiers(kNoModifier);
}

void ViewFixture::Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void ViewFixture::Resize(int width, int height) {
  ::MoveWindow(View(), 0, 0, width, height, TRUE);
  Pump();
}

int ViewFixture::PerRow() {
  RECT area{};
  ::GetClientRect(View(), &area);
  text::CharMetrics metrics = UniscribeCharMetrics(MeasuringTestFont());
  const std::int64_t available =
      text::CharMetrics::ToFixed(static_cast<float>(area.right - 2 * kTextMargin));
  return static_cast<int>(available / metrics.AdvanceOf(u"中"));
}

std::u16string ViewFixture::LineOfRows(int rows) {
  return std::u16string(static_cast<std::size_t>((rows - 1) * PerRow() + PerRow() / 2), u'中');
}

POINT ViewFixture::PointOf(std::size_t screen_row, float x) const {
  const int row_height = box_->View().RowHeight();
  return POINT{kTextMargin + static_cast<int>(x),
               kTextMargin + static_cast<int>(screen_row) * row_height + row_height / 2};
}

}  // namespace tambrel::platform::win32
