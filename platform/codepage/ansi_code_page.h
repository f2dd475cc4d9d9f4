#pragma once

#include <string>
#include <string_view>

namespace tambrel::platform::codepage {

// The code page the program's own texts are written in, and in which its documents are saved.
inline constexpr unsigned kChineseCodePage = 936;

// The system's ANSI code page, in which plain documents without a byte-order mark are written:
// what Windows answers (936 on Chinese Windows). Elsewhere no such thing exists, and it is 936.
unsigned SystemAnsiCodePage();

// Text from bytes in a code page other than 936 (whose own table is exact and faster), by the
// system's conversion; bytes the code page does not define become its substitute characters.
// Only Windows has such code pages to convert from; elsewhere the bytes are taken as 936.
std::u16string DecodeSystemCodePage(std::string_view bytes, unsigned code_page);

}  // namespace tambrel::platform::codepage
