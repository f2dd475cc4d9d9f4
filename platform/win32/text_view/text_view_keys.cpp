// The keyboard, the clipboard and the context menu. Each key becomes a call of the editor; the
// rules are the editor's.

// windowsx.h needs the types of windows.h declared before it.
// clang-format off
#include <windows.h>
#include <windowsx.h>
// clang-format on

#include "platform/win32/text_view/clipboard_text.h"
#include "platform/win32/text_view/text_view.h"
#include "text/utf16.h"

namespace tambrel::platform::win32 {
namespace {

bool IsDown(int key) { return ::GetKeyState(key) < 0; }

}  // namespace

bool TextView::OnKeyDown(UINT key) {
  const bool control = IsDown(VK_CONTROL);
  const bool shift = IsDown(VK_SHIFT);
  return HandleNavigation(key, control, shift) || HandleEditing(key, control, shift);
}

bool TextView::HandleNavigation(UINT key, bool control, bool shift) {
  editor::Motion motion;
  switch (key) {
    case VK_LEFT:
      motion = control ? editor::Motion::kWordLeft : editor::Motion::kLeft;
      break;
    case VK_RIGHT:
      motion = control ? editor::Motion::kWordRight : editor::Motion::kRight;
      break;
    case VK_UP:
      motion = editor::Motion::kUp;
      break;
    case VK_DOWN:
      motion = editor::Motion::kDown;
      break;
    case VK_PRIOR:
      motion = editor::Motion::kPageUp;
      break;
    case VK_NEXT:
      motion = editor::Motion::kPageDown;
      break;
    case VK_HOME:
      motion = control ? editor::Motion::kDocumentStart : editor::Motion::kRowStart;
      break;
    case VK_END:
      motion = control ? editor::Motion::kDocumentEnd : editor::Motion::kRowEnd;
      break;
    default:
      return false;
  }
  const editor::Selecting selecting = shift ? editor::Selecting::kExtend : editor::Selecting::kNo;
  Submit([this, motion, selecting] { editor_.Move(motion, selecting); });
  return true;
}

bool TextView::HandleEditing(UINT key, bool control, bool shift) {
  const editor::DeleteUnit unit =
      control ? editor::DeleteUnit::kWord : editor::DeleteUnit::kCharacter;
  switch (key) {
    case VK_BACK:
      Submit([this, unit] { editor_.DeleteBackward(unit); });
      return true;
    case VK_DELETE:
      // Shift+Delete cuts, as it does in every edit control of Windows.
      if (shift && !control) {
        Cut();
      } else {
        Submit([this, unit] { editor_.DeleteForward(unit); });
      }
      return true;
    case VK_INSERT:
      // Ctrl+Insert copies and Shift+Insert pastes; Insert alone switches overwriting.
      if (control && !shift) {
        Copy();
      } else if (shift && !control) {
        Paste();
      } else if (!control && !shift) {
        Submit([this] { editor_.ToggleOverwrite(); });
      }
      return true;
    case VK_RETURN:
      Submit([this] { editor_.NewLine(); });
      return true;
    case VK_TAB:
      if (control) return false;
      Submit([this] { editor_.Type(u"\t"); });
      return true;
    default:
      break;
  }
  if (!control) return false;
  switch (key) {
    case 'Z':
      if (shift) {
        Submit([this] { editor_.Redo(); });
      } else {
        Submit([this] { editor_.Undo(); });
      }
      return true;
    case 'Y':
      Submit([this] { editor_.Redo(); });
      return true;
    case 'X':
      Cut();
      return true;
    case 'C':
      Copy();
      return true;
    case 'V':
      Paste();
      return true;
    case 'A':
      Submit([this] { editor_.SelectAll(); });
      return true;
    default:
      return false;
  }
}

void TextView::OnChar(wchar_t unit) {
  // A character beyond the BMP comes as two messages, one for each half.
  if (text::IsHighSurrogate(unit)) {
    high_surrogate_ = unit;
    return;
  }
  std::u16string typed;
  if (text::IsLowSurrogate(unit)) {
    if (!high_surrogate_) return;
    typed = {static_cast<char16_t>(*high_surrogate_), static_cast<char16_t>(unit)};
  } else {
    // Controls come from keys handled as keys (Return, Tab, Backspace, Escape, Ctrl+letters).
    if (unit < 0x20 || unit == 0x7F) {
      high_surrogate_.reset();
      return;
    }
    typed = {static_cast<char16_t>(unit)};
  }
  high_surrogate_.reset();
  Submit([this, typed = std::move(typed)] { editor_.Type(typed); });
}

// --- The clipboard ---------------------------------------------------------------------------

void TextView::Copy() {
  const std::u16string selected = editor_.SelectedTextForClipboard();
  if (!selected.empty()) WriteClipboardText(Hwnd(), selected);
}

void TextView::Cut() {
  Submit([this] {
    if (editor_.GetSelection().Empty()) return;
    // Only what reached the clipboard leaves the text.
    if (WriteClipboardText(Hwnd(), editor_.SelectedTextForClipboard())) editor_.Cut();
  });
}

void TextView::Paste() {
  Submit([this] {
    if (const std::optional<std::u16string> text = ReadClipboardText(Hwnd())) editor_.Paste(*text);
  });
}

// --- The context menu --------------------------------------------------------------------------

ContextMenuState TextView::MenuState() const {
  return ContextMenuState{editor_.CanUndo(), editor_.CanRedo(), !editor_.GetSelection().Empty(),
                          ClipboardHasText(), editor_.Length() > 0};
}

void TextView::RunCommand(ContextCommand command) {
  switch (command) {
    case ContextCommand::kUndo:
      Submit([this] { editor_.Undo(); });
      break;
    case ContextCommand::kRedo:
      Submit([this] { editor_.Redo(); });
      break;
    case ContextCommand::kCut:
      Cut();
      break;
    case ContextCommand::kCopy:
      Copy();
      break;
    case ContextCommand::kPaste:
      Paste();
      break;
    case ContextCommand::kDelete:
      Submit([this] { editor_.DeleteForward(editor::DeleteUnit::kCharacter); });
      break;
    case ContextCommand::kSelectAll:
      Submit([this] { editor_.SelectAll(); });
      break;
  }
}

void TextView::OnContextMenu(LPARAM lparam) {
  POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  // From the keyboard (Shift+F10, the menu key) the menu opens at the caret.
  if (at.x == -1 && at.y == -1) {
    const std::optional<RECT> caret = CaretRect();
    at = caret ? POINT{caret->left, caret->bottom} : POINT{kTextMargin, kTextMargin};
    ::ClientToScreen(Hwnd(), &at);
  }
  const UniqueMenu menu = BuildContextMenu(MenuState());
  const UINT chosen = static_cast<UINT>(::TrackPopupMenu(
      menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, Hwnd(), nullptr));
  if (chosen != 0) RunCommand(static_cast<ContextCommand>(chosen));
}

}  // namespace tambrel::platform::win32
