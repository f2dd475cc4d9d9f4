#include "platform/win32/window/win32_picture_box.h"

#include <algorithm>

#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_strings.h"
#include "platform/win32/win32_twips.h"
#include "platform/win32/window/win32_system_colors.h"

namespace tambrel::platform::win32 {
namespace {

const WindowClass kPictureClass{L"TambrelPicture", 0, IDC_ARROW};

RECT ToRect(const PixelRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  const GdiObject<HBRUSH> brush(Checked(::CreateSolidBrush(color), "CreateSolidBrush"));
  ::FillRect(dc, &rect, brush.get());
}

}  // namespace

Win32PictureBox::Win32PictureBox(std::string name, HWND parent, OleColor back_color,
                                 OleColor fore_color, FontChoice font,
                                 const SystemColors& desktop)
    : Win32Control<PictureBox>(std::move(name)),
      back_color_(back_color),
      fore_color_(fore_color),
      font_(std::move(font)),
      background_(PaintColor(back_color, desktop)),
      window_(CreateHandledWindow(
          kPictureClass, *this, L"",
          WindowPlacement{0, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent})) {
  AttachWindow(window_.get());
  CreateFont();
}

// The window goes first, while the image it paints from and the handler it calls still exist.
Win32PictureBox::~Win32PictureBox() { window_.reset(); }

void Win32PictureBox::CreateFont() { hfont_ = CreateFontFor(font_, WindowDpi(Hwnd())); }

void Win32PictureBox::SetFont(const FontChoice& font) {
  font_ = font;
  CreateFont();
}

PixelRect Win32PictureBox::ClientRect() const {
  RECT client{};
  if (Hwnd() == nullptr || !::GetClientRect(Hwnd(), &client)) return {};
  return PixelRect{0, 0, client.right, client.bottom};
}

MemoryDc& Win32PictureBox::Image() const {
  const PixelRect client = ClientRect();
  FitImage(std::max(client.right, 1), std::max(client.bottom, 1));
  return *image_;
}

void Win32PictureBox::FitImage(int width, int height) const {
  if (image_ && image_->Width() == width && image_->Height() == height) return;
  // Like a picture box with a persistent image: what was drawn stays where it was, and the new
  // area takes the background.
  const WindowDc screen(Hwnd());
  MemoryDc fitted(screen.get(), width, height);
  Fill(fitted.get(), RECT{0, 0, width, height}, background_);
  if (image_) {
    ::BitBlt(fitted.get(), 0, 0, std::min(width, image_->Width()),
             std::min(height, image_->Height()), image_->get(), 0, 0, SRCCOPY);
  }
  image_.reset();
  image_.emplace(std::move(fitted));
}

PixelRect Win32PictureBox::MeasureText(std::u16string_view text) const {
  // Measured in the box's font as one line of text, the way DrawTextRight sets it.
  const WindowDc dc(Hwnd());
  const SelectObjectScope font(dc.get(), hfont_.get());
  RECT extent{0, 0, 0, 0};
  ::DrawTextW(dc.get(), AsWide(text), static_cast<int>(text.size()), &extent,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return PixelRect{0, 0, extent.right - extent.left, extent.bottom - extent.top};
}

void Win32PictureBox::FillRect(const PixelRect& rect, ColorRef color) {
  // A colour that could not be translated fills nothing; drawing carries on.
  if (color == kUntranslatableColor) return;
  Fill(Image().get(), ToRect(rect), static_cast<COLORREF>(color));
}

void Win32PictureBox::DrawTextRight(std::u16string_view text, const PixelRect& rect,
                                    ColorRef color) {
  if (color == kUntranslatableColor) return;
  const HDC dc = Image().get();
  const SelectObjectScope font(dc, hfont_.get());
  ::SetTextColor(dc, static_cast<COLORREF>(color));
  ::SetBkMode(dc, TRANSPARENT);
  RECT bounds = ToRect(rect);
  ::DrawTextW(dc, AsWide(text), static_cast<int>(text.size()), &bounds,
              DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

void Win32PictureBox::DrawVerticalLine(int x, int top, int bottom, ColorRef color) {
  if (color == kUntranslatableColor || bottom <= top) return;
  const HDC dc = Image().get();
  const GdiObject<HPEN> pen(
      Checked(::CreatePen(PS_SOLID, 1, static_cast<COLORREF>(color)), "CreatePen"));
  const SelectObjectScope selected(dc, pen.get());
  // LineTo leaves out its end point: the line stops just above `bottom`.
  ::MoveToEx(dc, x, top, nullptr);
  ::LineTo(dc, x, bottom);
}

void Win32PictureBox::Refresh() {
  if (Hwnd() != nullptr) ::InvalidateRect(Hwnd(), nullptr, FALSE);
}

ColorRef Win32PictureBox::Point(int x, int y) const {
  const PixelRect client = ClientRect();
  if (x < 0 || y < 0 || x >= client.right || y >= client.bottom) return kUntranslatableColor;
  const COLORREF pixel = ::GetPixel(Image().get(), x, y);
  return pixel == CLR_INVALID ? kUntranslatableColor : static_cast<ColorRef>(pixel);
}

void Win32PictureBox::Paint(HWND window) {
  const PaintDc paint(window);
  const RECT& dirty = paint.Dirty();
  const MemoryDc& image = Image();
  ::BitBlt(paint.get(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top,
           image.get(), dirty.left, dirty.top, SRCCOPY);
}

LRESULT Win32PictureBox::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ERASEBKGND:
      // The paint covers every pixel from the image.
      return 1;
    case WM_PAINT:
      Paint(window);
      return 0;
    case WM_SIZE:
      FitImage(std::max<int>(LOWORD(lparam), 1), std::max<int>(HIWORD(lparam), 1));
      return 0;
    case WM_DPICHANGED_AFTERPARENT:
      // The same points make more pixels on the new monitor.
      CreateFont();
      return 0;
    case WM_NCDESTROY:
      static_cast<void>(window_.release());
      AttachWindow(nullptr);
      break;
  }
  return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace tambrel::platform::win32
