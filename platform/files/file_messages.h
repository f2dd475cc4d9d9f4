#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/result.h"

// The Chinese wording of file failures, shared by the POSIX and Windows implementations.
namespace tambrel::platform::files {

// The path as the user would read it; a name that cannot be shown becomes a placeholder.
std::u16string DisplayPath(const std::filesystem::path& path);

// "<what>“<path>”：<why>", e.g. 无法打开文件“a.txt”：没有权限。
Failure FileFailure(std::u16string_view what, const std::filesystem::path& path,
                    std::u16string_view why);

#ifndef _WIN32
// Why a POSIX call failed, from its errno.
std::u16string ErrnoReason(int error_number);
#else
// Why a Win32 call failed, from GetLastError().
std::u16string Win32Reason(unsigned long error_code);
#endif

}  // namespace tambrel::platform::files
