#include "platform/files/file_messages.h"

#include <string>

#include "platform/files/path_text.h"
#include "text/utf16.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // keep std::min and std::max usable
#endif
#include <windows.h>
#else
#include <cerrno>
#endif

namespace tambrel::platform::files {
namespace {

std::u16string Ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace

std::u16string DisplayPath(const std::filesystem::path& path) {
  std::u16string text = PathText(path);
  // A byte that is not UTF-8 shows as the replacement character; the second half of a
  // surrogate pair is left alone.
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool paired = i > 0 && text::IsHighSurrogate(text[i - 1]);
    if (!paired && text[i] >= 0xDC80 && text[i] <= 0xDCFF) text[i] = u'\uFFFD';
  }
  return text;
}

Failure FileFailure(std::u16string_view what, const std::filesystem::path& path,
                    std::u16string_view why) {
  std::u16string reason(what);
  reason += u"“";
  reason += DisplayPath(path);
  reason += u"”";
  if (!why.empty()) {
    reason += u"：";
    reason += why;
  }
  reason += u"。";
  return Failure{std::move(reason)};
}

#ifndef _WIN32
std::u16string ErrnoReason(int error_number) {
  switch (error_number) {
    case EACCES:
    case EPERM:
      return u"没有权限";
    case ENOENT:
      return u"文件或文件夹不存在";
    case ENOTDIR:
      return u"路径中有一部分不是文件夹";
    case EISDIR:
      return u"这是一个文件夹";
    case ENOSPC:
      return u"磁盘空间不足";
    case EDQUOT:
      return u"超出了磁盘配额";
    case EROFS:
      return u"磁盘是只读的";
    case ENAMETOOLONG:
      return u"路径太长";
    case ELOOP:
      return u"符号链接层数太多";
    case EIO:
      return u"磁盘读写出错";
    case EMFILE:
    case ENFILE:
      return u"打开的文件太多";
    case ENOMEM:
      return u"内存不足";
    case EFBIG:
      return u"文件太大";
    case EBUSY:
    case ETXTBSY:
      return u"文件正被占用";
    case EXDEV:
      return u"不能跨磁盘移动文件";
    default:
      return u"系统错误 " + Ascii(std::to_string(error_number));
  }
}
#else
std::u16string Win32Reason(unsigned long error_code) {
  switch (error_code) {
    case ERROR_ACCESS_DENIED:
      return u"没有权限";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return u"文件或文件夹不存在";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return u"文件正被其他程序占用";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return u"磁盘空间不足";
    case ERROR_WRITE_PROTECT:
      return u"磁盘是只读的";
    case ERROR_FILENAME_EXCED_RANGE:
      return u"路径太长";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
      return u"文件名无效";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return u"文件已存在";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return u"内存不足";
    default:
      return u"系统错误 " + Ascii(std::to_string(error_code));
  }
}
#endif

}  // namespace tambrel::platform::files
