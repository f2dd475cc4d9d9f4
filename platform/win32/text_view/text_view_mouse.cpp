// The mouse: clicks of one, two and three, selecting by dragging with the view scrolling along,
// dragging the selection, and files dropped from the shell.
#include <cstdlib>

#include "platform/win32/text_view/dropped_files.h"
#include "platform/win32/text_view/text_drag_and_drop.h"
#include "platform/win32/text_view/text_view.h"

namespace tambrel::platform::win32 {
namespace {

constexpr UINT kDragScrollInterval = 50;

std::int16_t ShiftState() {
  return static_cast<std::int16_t>((::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) |
                                   (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
                                   (::GetKeyState(VK_MENU) < 0 ? 4 : 0));
}

bool ShiftDown() { return ::GetKeyState(VK_SHIFT) < 0; }
bool ControlDown() { return ::GetKeyState(VK_CONTROL) < 0; }

// Whether the mouse went far enough from the press to start a drag, as the desktop counts it.
bool BeyondDragDistance(POINT from, POINT to) {
  return std::abs(to.x - from.x) > ::GetSystemMetrics(SM_CXDRAG) / 2 ||
         std::abs(to.y - from.y) > ::GetSystemMetrics(SM_CYDRAG) / 2;
}

}  // namespace

std::ptrdiff_t TextView::ScreenRowAt(POINT point) const {
  const int y = point.y - kTextMargin;
  return y >= 0 ? y / row_height_ : -((-y + row_height_ - 1) / row_height_);
}

float TextView::TextXAt(POINT point) const { return static_cast<float>(point.x - kTextMargin); }

std::size_t TextView::DropPosition(POINT point) {
  return editor_.CaretAt(ScreenRowAt(point), TextXAt(point)).position;
}

void TextView::OnButtonDown(POINT point, bool double_click) {
  ::SetFocus(Hwnd());
  CompleteComposition();
  const std::ptrdiff_t row = ScreenRowAt(point);
  const float x = TextXAt(point);
  const DWORD time = static_cast<DWORD>(::GetMessageTime());
  if (double_click) {
    clicks_.DoubleClicked(point, time);
    may_drag_ = false;
    Submit([this, row, x] {
      editor_.Click(row, x, editor::ClickCount::kDouble, editor::Selecting::kNo);
    });
  } else {
    const bool triple = clicks_.IsTripleClick(point, time, ClickCounter::DesktopLimits());
    const bool extend = ShiftDown();
    if (!triple && !extend && editor_.IsSelectedAt(row, x)) {
      // A press on the selection may be the start of dragging it; a release without moving
      // places the caret instead.
      may_drag_ = true;
      press_point_ = point;
      ::SetCapture(Hwnd());
      return;
    }
    const editor::ClickCount count =
        triple ? editor::ClickCount::kTriple : editor::ClickCount::kSingle;
    const editor::Selecting selecting =
        extend ? editor::Selecting::kExtend : editor::Selecting::kNo;
    Submit([this, row, x, count, selecting] { editor_.Click(row, x, count, selecting); });
  }
  selecting_with_mouse_ = true;
  ::SetCapture(Hwnd());
}

void TextView::OnMouseMove(POINT point, WPARAM buttons) {
  if (!(buttons & MK_LBUTTON)) return;
  if (may_drag_) {
    if (drag_and_drop_ && BeyondDragDistance(press_point_, point)) {
      may_drag_ = false;
      ::ReleaseCapture();
      drag_and_drop_->DragSelection();
    } else if (!drag_and_drop_) {
      // Without OLE the selection is dragged within the view only, to where the caret shows.
      ShowDropCaret(DropPosition(point));
    }
    return;
  }
  if (!selecting_with_mouse_) return;
  const RECT area = ClientArea();
  if (point.y < area.top || point.y >= area.bottom) {
    ::SetTimer(Hwnd(), kDragScrollTimer, kDragScrollInterval, nullptr);
    return;
  }
  ::KillTimer(Hwnd(), kDragScrollTimer);
  Submit([this, row = ScreenRowAt(point), x = TextXAt(point)] { editor_.DragTo(row, x); });
}

void TextView::OnButtonUp(std::int16_t button, POINT point) {
  if (button == 1) {
    if (may_drag_) {
      may_drag_ = false;
      if (drop_caret_ && BeyondDragDistance(press_point_, point)) {
        const std::size_t position = *drop_caret_;
        const editor::DragAction action =
            ControlDown() ? editor::DragAction::kCopy : editor::DragAction::kMove;
        Submit([this, position, action] { editor_.DragSelectionTo(position, action); });
      } else {
        Submit([this, row = ScreenRowAt(point), x = TextXAt(point)] {
          editor_.Click(row, x, editor::ClickCount::kSingle, editor::Selecting::kNo);
        });
      }
      ShowDropCaret(std::nullopt);
    }
    if (::GetCapture() == Hwnd()) ::ReleaseCapture();
    EndMouseSelection();
  }
  if (mouse_up) {
    mouse_up(button, ShiftState(), static_cast<float>(point.x), static_cast<float>(point.y));
  }
}

void TextView::EndMouseSelection() {
  selecting_with_mouse_ = false;
  may_drag_ = false;
  ShowDropCaret(std::nullopt);
  ::KillTimer(Hwnd(), kDragScrollTimer);
}

void TextView::OnDropFiles(HDROP drop) {
  std::vector<std::u16string> files;
  {
    const FinishedDrop finished(drop);
    files = DroppedFileNames(drop);
  }
  FilesDropped(std::move(files));
}

}  // namespace tambrel::platform::win32
