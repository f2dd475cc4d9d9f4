#include "platform/win32/win32_fonts.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

#include "platform/win32/win32_strings.h"

namespace tambrel::platform::win32 {
namespace {

constexpr double kPointsPerInch = 72.0;

struct FaceAlias {
  std::u16string_view design_name;
  std::u16string_view face;
};

// The Song faces, as the Qt layer substitutes them on Linux.
constexpr FaceAlias kFaceAliases[] = {
    {u"宋体", u"SimSun"},
    {u"新宋体", u"NSimSun"},
};

bool IsSongFace(std::u16string_view face) { return face == u"SimSun" || face == u"NSimSun"; }

}  // namespace

std::u16string WindowsFaceName(std::u16string_view name) {
  for (const FaceAlias& alias : kFaceAliases) {
    if (alias.design_name == name) return std::u16string(alias.face);
  }
  return std::u16string(name);
}

LOGFONTW LogFontFor(const FontChoice& font, unsigned dpi) {
  LOGFONTW logical{};
  // A negative height asks for the character height, which is what a point size means.
  logical.lfHeight = -static_cast<LONG>(std::lround(font.size * dpi / kPointsPerInch));
  logical.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  logical.lfItalic = font.italic ? TRUE : FALSE;
  const std::u16string face = WindowsFaceName(font.name);
  logical.lfCharSet = IsSongFace(face) ? GB2312_CHARSET : DEFAULT_CHARSET;
  logical.lfOutPrecision = OUT_DEFAULT_PRECIS;
  logical.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  logical.lfQuality = DEFAULT_QUALITY;
  logical.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  // A name longer than GDI takes is cut rather than overrun; GDI would not find it either way.
  const std::size_t length = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  std::wmemcpy(logical.lfFaceName, AsWide(face), length);
  logical.lfFaceName[length] = L'\0';
  return logical;
}

double PointSizeOf(const LOGFONTW& font, unsigned dpi) {
  return std::abs(static_cast<double>(font.lfHeight)) * kPointsPerInch / dpi;
}

GdiObject<HFONT> CreateFontFor(const FontChoice& font, unsigned dpi) {
  const LOGFONTW logical = LogFontFor(font, dpi);
  return GdiObject<HFONT>(Checked(::CreateFontIndirectW(&logical), "CreateFontIndirectW"));
}

}  // namespace tambrel::platform::win32
