#include "tests/support/fake_edit_box.h"

#include <algorithm>
#include <utility>

#include "text/tests/test_metrics.h"

namespace tambrel::testing {

FakeEditBox::FakeEditBox(const platform::ControlDefinition& definition, FakeEventLoop& events)
    : EditorEditBox(definition.name),
      events_(events),
      placement_(definition.left, definition.top, definition.width, definition.height),
      font_(definition.font.value_or(platform::FontChoice{})),
      fore_color_(definition.fore_color),
      accepts_drops_(definition.accepts_drops),
      geometry_(1.0f),
      editor_(geometry_, std::make_unique<text::CharMetrics>(text::TestMetrics()), 1.0f) {
  editor_.on_change = [this](unsigned changed) { OnEditorChanged(changed); };
  // What waited for a command is done once the command has returned to the loop.
  editor_.Input().on_released = [this] { Post([this] { editor_.Input().RunWaiting(); }); };
  Relayout();
}

FakeEditBox::~FakeEditBox() {
  *alive_ = false;
  editor_.on_change = nullptr;
  editor_.Input().on_released = nullptr;
}

void FakeEditBox::Post(std::function<void()> task) {
  events_.Post([alive = std::weak_ptr<bool>(alive_), task = std::move(task)] {
    if (const auto still = alive.lock(); still && *still) task();
  });
}

void FakeEditBox::OnEditorChanged(unsigned changed) {
  if (changed & (editor::kTextChanged | editor::kLookChanged | editor::kViewMoved)) {
    ScheduleCounting();
  }
  if ((changed & editor::kTextChanged) && change_) change_();
  if ((changed & editor::kViewMoved) && hook_) hook_(platform::EditMessage::kVerticalScroll);
}

void FakeEditBox::ScheduleCounting() {
  // Rows are counted a slice at a time while the loop is idle, as the real views count them.
  if (counting_scheduled_ || editor_.View().AllCounted()) return;
  counting_scheduled_ = true;
  Post([this] {
    counting_scheduled_ = false;
    if (editor_.CountSome()) ScheduleCounting();
  });
}

int FakeEditBox::RowHeight() const { return GlyphBoxOf(font_).height; }

void FakeEditBox::Relayout() {
  const int width = std::max(1, placement_.WidthPixels());
  geometry_.SetWidth(static_cast<float>(width));
  editor_.SetVisibleRows(std::max(1, placement_.HeightPixels() / RowHeight()));
  editor_.SetWidth(static_cast<float>(width));
}

bool FakeEditBox::Move(double left, double top, double width, double height) {
  if (placement_.Move(left, top, width, height)) Relayout();
  return true;
}

void FakeEditBox::SetFont(const platform::FontChoice& font) {
  font_ = font;
  // The test font's letters keep their widths in every face; the rows' height follows the size.
  const float width = static_cast<float>(std::max(1, placement_.WidthPixels()));
  editor_.SetVisibleRows(std::max(1, placement_.HeightPixels() / RowHeight()));
  editor_.SetLayout(std::make_unique<text::CharMetrics>(text::TestMetrics()), width);
}

platform::EditHook FakeEditBox::SetHook(platform::EditHook hook) {
  platform::EditHook previous = std::move(hook_);
  hook_ = std::move(hook);
  return previous;
}

void FakeEditBox::Deliver(std::function<void()> action) {
  if (hook_) hook_(platform::EditMessage::kOther);
  editor_.Input().Submit(std::move(action));
}

void FakeEditBox::Type(std::u16string typed) {
  Deliver([this, typed = std::move(typed)] { editor_.Type(typed); });
}

void FakeEditBox::PressReturn() {
  Deliver([this] { editor_.NewLine(); });
}

void FakeEditBox::Undo() {
  Deliver([this] { editor_.Undo(); });
}

void FakeEditBox::Redo() {
  Deliver([this] { editor_.Redo(); });
}

void FakeEditBox::MoveCaret(editor::Motion motion, editor::Selecting selecting) {
  Deliver([this, motion, selecting] { editor_.Move(motion, selecting); });
}

void FakeEditBox::CommitInput(std::u16string committed) {
  Deliver([this, committed = std::move(committed)] {
    editor_.Commit(committed);
    editor_.SetComposition(u"", 0);
  });
}

void FakeEditBox::DropFiles(std::vector<std::u16string> files) {
  if (!accepts_drops_) return;
  if (hook_) hook_(platform::EditMessage::kOther);
  // Handled once the drop is over, so that a question it asks does not keep the program the
  // files came from waiting.
  Post([this, files = std::move(files)]() mutable {
    editor_.Input().Submit([this, files = std::move(files)]() mutable {
      if (drop_) drop_(platform::DropData{std::move(files)});
    });
  });
}

void FakeEditBox::ReleaseKey(std::int16_t key, std::int16_t shift) {
  if (hook_) hook_(platform::EditMessage::kOther);
  if (key_up_) key_up_(key, shift);
}

void FakeEditBox::ReleaseMouse(std::int16_t button, std::int16_t shift, float x, float y) {
  if (hook_) hook_(platform::EditMessage::kOther);
  if (mouse_up_) mouse_up_(button, shift, x, y);
}

void FakeEditBox::Wheel(std::ptrdiff_t rows) {
  if (hook_) hook_(platform::EditMessage::kOther);
  editor_.ScrollBy(rows);
}

}  // namespace tambrel::testing
