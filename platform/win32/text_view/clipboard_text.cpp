#include "platform/win32/text_view/clipboard_text.h"

#include "platform/win32/text_view/global_memory.h"

namespace tambrel::platform::win32 {
namespace {

// OpenClipboard and CloseClipboard around a use of the clipboard.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) : open_(::OpenClipboard(owner) != 0) {}
  ~ClipboardSession() {
    if (open_) ::CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;

  bool Open() const { return open_; }

 private:
  bool open_;
};

}  // namespace

std::optional<std::u16string> ReadClipboardText(HWND owner) {
  if (!ClipboardHasText()) return std::nullopt;
  const ClipboardSession clipboard(owner);
  if (!clipboard.Open()) return std::nullopt;
  // The clipboard keeps the memory; it is only read here.
  const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
  if (data == nullptr) return std::nullopt;
  return UnicodeTextIn(data);
}

bool WriteClipboardText(HWND owner, std::u16string_view text) {
  GlobalMemory memory = UnicodeTextMemory(text);
  if (!memory) return false;
  const ClipboardSession clipboard(owner);
  if (!clipboard.Open() || !::EmptyClipboard()) return false;
  if (::SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr) return false;
  // The clipboard owns it now.
  memory.Release();
  return true;
}

bool ClipboardHasText() { return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != 0; }

}  // namespace tambrel::platform::win32
