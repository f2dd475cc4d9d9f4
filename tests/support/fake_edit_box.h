#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "platform/editor_edit_box.h"
#include "platform/window_definition.h"
#include "tests/support/fake_controls.h"
#include "tests/support/fake_event_loop.h"
#include "tests/support/test_row_geometry.h"

namespace tambrel::testing {

// The edit box over the real editor, with the test font's rows (every letter 10 px wide, see
// text/tests/test_metrics.h) one glyph of the fake face high, and no margin: row k of the view
// starts k rows below the box's top edge. What the user does reaches the editor the way the
// real views carry it: through the editor's input queue, which holds it while a command reads
// the text, and with the change, scroll and key events the window's handlers listen to.
class FakeEditBox final : public platform::EditorEditBox {
 public:
  FakeEditBox(const platform::ControlDefinition& definition, FakeEventLoop& events);
  ~FakeEditBox() override;

  editor::Editor& Model() override { return editor_; }

  std::optional<float> Left() const override { return placement_.Left(); }
  std::optional<float> Top() const override { return placement_.Top(); }
  std::optional<float> Width() const override { return placement_.Width(); }
  std::optional<float> Height() const override { return placement_.Height(); }
  bool Move(double left, double top, double width, double height) override;

  void SetFocus() override { ++focus_requests_; }
  platform::FontChoice Font() const override { return font_; }
  void SetFont(const platform::FontChoice& font) override;
  platform::OleColor ForeColor() const override { return fore_color_; }
  void SetForeColor(platform::OleColor color) override { fore_color_ = color; }

  void OnChange(std::function<void()> handler) override { change_ = std::move(handler); }
  void OnKeyUp(std::function<void(std::int16_t, std::int16_t)> handler) override {
    key_up_ = std::move(handler);
  }
  void OnMouseUp(std::function<void(std::int16_t, std::int16_t, float, float)> handler) override {
    mouse_up_ = std::move(handler);
  }
  void OnDrop(std::function<void(const platform::DropData&)> handler) override {
    drop_ = std::move(handler);
  }
  platform::EditHook SetHook(platform::EditHook hook) override;

  // --- What the user does ------------------------------------------------------------------
  // Keys that type text; a key press, without its release.
  void Type(std::u16string typed);
  void PressReturn();
  void Undo();
  void Redo();
  void MoveCaret(editor::Motion motion, editor::Selecting selecting = editor::Selecting::kNo);
  // An input method's commit of finished text.
  void CommitInput(std::u16string committed);
  // Files dropped from a file manager, if the box takes drops; handled once the drop is over, on
  // the loop's next turn.
  void DropFiles(std::vector<std::u16string> files);
  void ReleaseKey(std::int16_t key, std::int16_t shift = 0);
  void ReleaseMouse(std::int16_t button = 1, std::int16_t shift = 0, float x = 0, float y = 0);
  // The mouse wheel: moves the view, not the caret.
  void Wheel(std::ptrdiff_t rows);

  // How often a command asked for the focus.
  int FocusRequests() const { return focus_requests_; }
  // Every preview shown over the box, in order, and whether one shows now.
  const std::vector<std::u16string>& Previews() const { return previews_; }
  bool PreviewShows() const { return preview_shows_; }

 protected:
  void ShowPreviewWidget(std::u16string_view start) override {
    previews_.emplace_back(start);
    preview_shows_ = true;
  }
  void HidePreviewWidget() override { preview_shows_ = false; }

  // Pixels of one row, the fake face's glyph height in the editor's font.
  int RowHeight() const;

 private:
  // What the user does, as every real view does it: the hook sees the event, and the editor does
  // the action now or once the command that reads the text has finished.
  void Deliver(std::function<void()> action);
  void Relayout();
  void ScheduleCounting();
  void OnEditorChanged(unsigned changed);
  // Posts a task that runs only while this box still exists.
  void Post(std::function<void()> task);

  FakeEventLoop& events_;
  PixelPlacement placement_;
  platform::FontChoice font_;
  platform::OleColor fore_color_;
  bool accepts_drops_;
  TestRowGeometry geometry_;
  editor::Editor editor_;
  std::function<void()> change_;
  std::function<void(std::int16_t, std::int16_t)> key_up_;
  std::function<void(std::int16_t, std::int16_t, float, float)> mouse_up_;
  std::function<void(const platform::DropData&)> drop_;
  platform::EditHook hook_;
  bool counting_scheduled_ = false;
  int focus_requests_ = 0;
  std::vector<std::u16string> previews_;
  bool preview_shows_ = false;
  // Tasks posted for this box check it still exists before they run.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tambrel::testing
