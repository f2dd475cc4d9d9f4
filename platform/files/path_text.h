#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/result.h"

// File names as the program's text. On Linux a name is any sequence of bytes, usually but not
// always UTF-8: a file named in GBK must still open. Bytes that are not UTF-8 travel inside the
// text as the lone surrogates U+DC80 to U+DCFF, one per byte, which no real text contains, and
// turn back into the same bytes on the way out. On Windows names are UTF-16 already.
namespace tambrel::platform::files {

// The name's bytes (or UTF-16 units) as text, without losing any.
std::u16string PathText(const std::filesystem::path& path);

// The same for a name given as bytes, as the command line gives it.
std::u16string FileNameText(std::string_view bytes);

// The path a text names. Fails for text that names no file: a NUL, or a lone surrogate that did
// not come from PathText.
Result<std::filesystem::path> PathFromText(std::u16string_view text);

}  // namespace tambrel::platform::files
