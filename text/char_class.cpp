#include "text/char_class.h"

#include "text/unicode_properties.h"

namespace tambrel::text {
namespace {

// Scripts written without spaces between words, and pictures, where a row may end between any
// two characters.
bool IsIdeographic(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) ||    // Hangul leading jamo
         (c >= 0x2E80 && c <= 0x303E) ||    // CJK radicals, symbols and punctuation
         (c >= 0x3041 && c <= 0x33FF) ||    // kana, bopomofo, CJK compatibility
         (c >= 0x3400 && c <= 0x4DBF) ||    // CJK extension A
         (c >= 0x4E00 && c <= 0x9FFF) ||    // CJK unified ideographs
         (c >= 0xA000 && c <= 0xA4CF) ||    // Yi
         (c >= 0xAC00 && c <= 0xD7A3) ||    // Hangul syllables
         (c >= 0xF900 && c <= 0xFAFF) ||    // CJK compatibility ideographs
         (c >= 0xFE30 && c <= 0xFE4F) ||    // CJK compatibility forms
         (c >= 0xFF01 && c <= 0xFF60) ||    // full-width forms
         (c >= 0xFFE0 && c <= 0xFFE6) ||    // full-width signs
         (c >= 0x1F000 && c <= 0x1FAFF) ||  // emoji, pictographs, and the letters of flags
         (c >= 0x20000 && c <= 0x3FFFD);    // CJK extensions B onwards
}

// Punctuation that closes a clause, Chinese and Western: never at the start of a row.
bool ClosesAClause(char32_t c) {
  switch (c) {
    case U'，':
    case U'。':
    case U'、':
    case U'；':
    case U'：':
    case U'！':
    case U'？':
    case U'．':
    case U'…':
    case U'‥':
    case U'ー':
    case U'々':
    case U'〃':
    case U',':
    case U'.':
    case U';':
    case U':':
    case U'!':
    case U'?':
    case U'%':
      return true;
    default:
      return false;
  }
}

}  // namespace

CharClass CharClassOf(char32_t c) {
  if (c == U'\t') return CharClass::kTab;
  if (c == U' ' || c == 0x3000) return CharClass::kSpace;
  switch (PropertiesOf(c).Category()) {
    case GeneralCategory::kClosePunctuation:
    case GeneralCategory::kFinalPunctuation:
      return CharClass::kNoBreakBefore;
    case GeneralCategory::kOpenPunctuation:
    case GeneralCategory::kInitialPunctuation:
      return CharClass::kNoBreakAfter;
    default:
      break;
  }
  if (ClosesAClause(c)) return CharClass::kNoBreakBefore;
  return IsIdeographic(c) ? CharClass::kIdeographic : CharClass::kOrdinary;
}

}  // namespace tambrel::text
