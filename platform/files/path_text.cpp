#include "platform/files/path_text.h"

#include <cstdint>

#include "text/utf16.h"

namespace tambrel::platform::files {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // a byte b >= 0x80 travels as U+DC00 + b

void AppendUtf16(std::u16string& out, char32_t code_point) {
  if (code_point < 0x10000) {
    out.push_back(static_cast<char16_t>(code_point));
  } else {
    code_point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
  }
}

// The length of the well-formed UTF-8 sequence at the start of bytes and its code point; 0 when
// the bytes there are not one (overlong forms and surrogates included).
std::size_t Utf8Sequence(std::string_view bytes, char32_t& code_point) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  const std::uint8_t lead = byte(0);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code_point = lead & 0x1F;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code_point = lead & 0x0F;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code_point = lead & 0x07;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code_point = (code_point << 6) | (byte(i) & 0x3F);
  }
  if (code_point < minimum || code_point > 0x10FFFF) return 0;
  if (text::IsHighSurrogate(code_point) || text::IsLowSurrogate(code_point)) return 0;
  return length;
}

#ifndef _WIN32
// Only a file system whose names are bytes needs a name's text back in UTF-8.
void AppendUtf8(std::string& out, char32_t code_point) {
  if (code_point < 0x80) {
    out.push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code_point >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}
#endif

Failure InvalidName() { return Failure{u"文件名无效，无法用作文件的路径。"}; }

}  // namespace

std::u16string FileNameText(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  while (!bytes.empty()) {
    char32_t code_point = 0;
    std::size_t length = Utf8Sequence(bytes, code_point);
    if (length == 0) {
      code_point = kEscapeBase + static_cast<std::uint8_t>(bytes[0]);
      length = 1;
    }
    AppendUtf16(text, code_point);
    bytes.remove_prefix(length);
  }
  return text;
}

#ifdef _WIN32

std::u16string PathText(const std::filesystem::path& path) {
  const std::wstring& native = path.native();
  return std::u16string(native.begin(), native.end());
}

Result<std::filesystem::path> PathFromText(std::u16string_view text) {
  if (text.find(u'\0') != std::u16string_view::npos) return InvalidName();
  return std::filesystem::path(std::wstring(text.begin(), text.end()));
}

#else

std::u16string PathText(const std::filesystem::path& path) { return FileNameText(path.native()); }

Result<std::filesystem::path> PathFromText(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (unit == 0) return InvalidName();
    if (text::IsHighSurrogate(unit) && i + 1 < text.size() && text::IsLowSurrogate(text[i + 1])) {
      AppendUtf8(bytes, text::CombineSurrogates(text[i], text[i + 1]));
      ++i;
    } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
      bytes.push_back(static_cast<char>(unit - kEscapeBase));
    } else if (text::IsHighSurrogate(unit) || text::IsLowSurrogate(unit)) {
      return InvalidName();
    } else {
      AppendUtf8(bytes, unit);
    }
  }
  return std::filesystem::path(std::move(bytes));
}

#endif

}  // namespace tambrel::platform::files
