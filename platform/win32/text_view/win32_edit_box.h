#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editor/editor.h"
#include "platform/background_work.h"
#include "platform/editor_edit_box.h"
#include "platform/font_choice.h"
#include "platform/ole_color.h"
#include "platform/win32/text_view/preview_pane.h"
#include "platform/win32/text_view/text_view.h"
#include "platform/win32/text_view/uniscribe_row_geometry.h"
#include "platform/win32/win32_control.h"

namespace tambrel::platform::win32 {

// The editor control on Windows: the shared editor shown in a child window of `parent`, painted
// with GDI and Uniscribe. The window builds one for each edit box of its definition, placed by
// Move() afterwards; it runs long indexing through `work`, the window's own background work.
// The editor outlives the view, so the logic's questions are answered to the end.
class Win32EditBox final : public EditorEditBox {
 public:
  Win32EditBox(std::string name, HWND parent, OleColor back_color, OleColor fore_color,
               FontChoice font, BackgroundWork& work);
  ~Win32EditBox() override;

  // The child window the editor is shown in.
  HWND Hwnd() const;
  TextView& View() { return *view_; }

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
  std::int32_t FirstVisibleLineTop() override;

  void OnChange(std::function<void()> handler) override;
  void OnKeyUp(std::function<void(std::int16_t key, std::int16_t shift)> handler) override;
  void OnMouseUp(std::function<void(std::int16_t button, std::int16_t shift, float x, float y)>
                     handler) override;
  void OnDrop(std::function<void(const DropData&)> handler) override;
  EditHook SetHook(EditHook hook) override;

 protected:
  void RunLongWork(const std::function<void()>& work) override;
  void ShowPreviewWidget(std::u16string_view start) override;
  void HidePreviewWidget() override;

 private:
  // The user's font at the DPI of the window it is shown in.
  std::shared_ptr<const MeasuringFont> MeasuringFontFor(HWND window) const;
  void ApplyColors();
  void ApplyPreviewLook();
  void Deliver(EditMessage message);

  BackgroundWork& work_;
  OleColor back_color_;
  OleColor fore_color_;
  FontChoice font_;
  UniscribeRowGeometry row_geometry_;
  std::unique_ptr<editor::Editor> editor_;
  std::unique_ptr<TextView> view_;
  ChildWindowGeometry geometry_;
  // Over the view while a document's start is shown before the rest is read.
  std::unique_ptr<PreviewPane> preview_;
  std::function<void()> change_;
  EditHook hook_;
};

}  // namespace tambrel::platform::win32
