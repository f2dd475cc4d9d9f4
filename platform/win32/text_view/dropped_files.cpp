#include "platform/win32/text_view/dropped_files.h"

#include "platform/win32/win32_strings.h"

namespace tambrel::platform::win32 {

std::vector<std::u16string> DroppedFileNames(HDROP drop) {
  std::vector<std::u16string> names;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // The length without the terminating zero, which the buffer needs room for.
    const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
    if (length == 0) continue;
    std::wstring name(length + 1, L'\0');
    const UINT copied = ::DragQueryFileW(drop, i, name.data(), length + 1);
    name.resize(copied);
    names.push_back(ToU16(name));
  }
  return names;
}

}  // namespace tambrel::platform::win32
