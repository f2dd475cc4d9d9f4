#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/background_work.h"
#include "platform/editor_edit_box.h"
#include "platform/font_choice.h"
#include "platform/ole_color.h"

namespace tambrel::platform::win32 {

// The editor control on Windows: the shared editor shown in a child window of `parent`, painted
// with GDI and Uniscribe. The window builds one for each edit box of its definition, placed by
// Move() afterwards; it runs long indexing through `work`, the window's own background work.
//
// The window relies on what is declared here; the text view adds the rest.
class Win32EditBox final : public EditorEditBox {
 public:
  Win32EditBox(std::string name, HWND parent, OleColor back_color, OleColor fore_color,
               FontChoice font, BackgroundWork& work);
  ~Win32EditBox() override;

  // The child window the editor is shown in.
  HWND Hwnd() const;

  editor::Editor& Model() override;

  std::optional<float> Left() const override;
  std::optional<float> Top() const override;
  std::optional<float> Width() const override;
  std::optional<float> Height() const override;
  bool Move(double left, double top, double width, double height) override;

  void SetFocus() override;
  FontChoice Font() const override;
  void SetFont(const FontChoice& font) override;
  OleColor ForeColor() const override;
  void SetForeColor(OleColor color) override;

  void OnChange(std::function<void()> handler) override;
  void OnKeyUp(std::function<void(std::int16_t key, std::int16_t shift)> handler) override;
  void OnMouseUp(
      std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> handler)
      override;
  void OnDrop(std::function<void(const DropData&)> handler) override;
  EditHook SetHook(EditHook hook) override;
};

}  // namespace tambrel::platform::win32
