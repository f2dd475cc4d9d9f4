#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/picture_box.h"
#include "platform/win32/win32_control.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/window/window_procedure.h"

namespace tambrel::platform::win32 {

// A box the program draws on. Every drawing call goes to an off-screen image the size of the
// client area, and the window paints from that image, so covering and uncovering the box loses
// nothing and a paint never waits for the program to draw again.
class Win32PictureBox final : public Win32Control<PictureBox>, private MessageHandler {
 public:
  Win32PictureBox(std::string name, HWND parent, OleColor back_color, OleColor fore_color,
                  FontChoice font, const SystemColors& desktop);
  ~Win32PictureBox() override;

  FontChoice Font() const override { return font_; }
  void SetFont(const FontChoice& font) override;
  OleColor BackColor() const override { return back_color_; }
  OleColor ForeColor() const override { return fore_color_; }

  PixelRect ClientRect() const override;
  PixelRect MeasureText(std::u16string_view text) const override;
  void FillRect(const PixelRect& rect, ColorRef color) override;
  void DrawTextRight(std::u16string_view text, const PixelRect& rect, ColorRef color) override;
  void DrawVerticalLine(int x, int top, int bottom, ColorRef color) override;
  void Refresh() override;
  ColorRef Point(int x, int y) const override;

 private:
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HWND window);
  // The image, fitted to the client area first: a box that has not been shown yet is drawn on
  // all the same.
  MemoryDc& Image() const;
  void FitImage(int width, int height) const;
  void CreateFont();

  OleColor back_color_;
  OleColor fore_color_;
  FontChoice font_;
  COLORREF background_;
  GdiObject<HFONT> hfont_;
  mutable std::optional<MemoryDc> image_;
  UniqueWindow window_;
};

}  // namespace tambrel::platform::win32
