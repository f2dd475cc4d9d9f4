#include "platform/win32/window/input_dialog.h"

#include <string_view>

#include "platform/win32/win32_error.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_strings.h"

namespace tambrel::platform::win32 {
namespace {

// The predefined classes a dialog item names by atom.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;

constexpr WORD kFontPoints = 9;

struct ItemLayout {
  DWORD style;
  short x, y, width, height;  // dialog units
  WORD id;
  WORD class_atom;
  std::u16string_view text;
};

// Writes a DLGTEMPLATE in WORDs: the header, then each item on a DWORD boundary.
class TemplateWriter {
 public:
  void Word(WORD word) { words_.push_back(word); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Text(std::u16string_view text) {
    for (const char16_t unit : text) Word(static_cast<WORD>(unit));
    Word(0);
  }
  void AlignToDword() {
    if (words_.size() % 2 != 0) Word(0);
  }
  void Item(const ItemLayout& item) {
    AlignToDword();
    Dword(item.style | WS_CHILD | WS_VISIBLE);
    Dword(0);  // extended style
    for (const short value : {item.x, item.y, item.width, item.height}) {
      Word(static_cast<WORD>(value));
    }
    Word(item.id);
    Word(0xFFFF);
    Word(item.class_atom);
    Text(item.text);
    Word(0);  // no creation data
  }
  std::vector<WORD> Take() { return std::move(words_); }

 private:
  std::vector<WORD> words_;
};

struct Exchange {
  const std::u16string& title;
  const std::u16string& prompt;
  std::optional<std::u16string> answer;
};

std::u16string ItemText(HWND dialog, int id) {
  const HWND item = ::GetDlgItem(dialog, id);
  const int length = ::GetWindowTextLengthW(item);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(item, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return ToU16(text);
}

INT_PTR CALLBACK InputDialogProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* exchange = reinterpret_cast<Exchange*>(::GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      ::SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      exchange = reinterpret_cast<Exchange*>(lparam);
      ::SetWindowTextW(dialog, AsWide(exchange->title));
      ::SetDlgItemTextW(dialog, kInputPromptId, AsWide(exchange->prompt));
      return TRUE;  // the focus goes to the edit field, the first that takes it
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        exchange->answer = ItemText(dialog, kInputAnswerId);
        ::EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        ::EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

std::vector<WORD> InputDialogTemplate() {
  const ItemLayout items[] = {
      {SS_LEFT | SS_NOPREFIX, 7, 7, 186, 48, kInputPromptId, kStaticAtom, u""},
      {ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 62, 246, 14, kInputAnswerId,
       kEditAtom, u""},
      {BS_DEFPUSHBUTTON | WS_TABSTOP, 203, 7, 50, 14, IDOK, kButtonAtom, u"确定"},
      {BS_PUSHBUTTON | WS_TABSTOP, 203, 25, 50, 14, IDCANCEL, kButtonAtom, u"取消"},
  };
  TemplateWriter writer;
  writer.Dword(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  writer.Dword(0);  // extended style
  writer.Word(static_cast<WORD>(std::size(items)));
  for (const short value : {0, 0, 260, 84}) writer.Word(static_cast<WORD>(value));
  writer.Word(0);  // no menu
  writer.Word(0);  // the standard dialog class
  writer.Text(u"");
  writer.Word(kFontPoints);
  writer.Text(WindowsFaceName(u"宋体"));
  for (const ItemLayout& item : items) writer.Item(item);
  return writer.Take();
}

std::optional<std::u16string> AskForText(HWND owner, const std::u16string& title,
                                         const std::u16string& prompt) {
  const std::vector<WORD> layout = InputDialogTemplate();
  Exchange exchange{title, prompt, std::nullopt};
  const INT_PTR result = ::DialogBoxIndirectParamW(
      ::GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(layout.data()), owner,
      InputDialogProcedure, reinterpret_cast<LPARAM>(&exchange));
  if (result == -1) ThrowLastError("DialogBoxIndirectParamW");
  return exchange.answer;
}

}  // namespace tambrel::platform::win32
