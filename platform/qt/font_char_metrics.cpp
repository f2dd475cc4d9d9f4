#include "platform/qt/font_char_metrics.h"

#include <QChar>
#include <QFontMetricsF>
#include <QString>
#include <memory>

namespace tambrel::platform::qt {
namespace {

using text::CharClass;

// Scripts written without spaces between words, where a row may end between any two characters.
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
         (c >= 0x1F300 && c <= 0x1FAFF) ||  // emoji and pictographs
         (c >= 0x20000 && c <= 0x3FFFD);    // CJK extensions B onwards
}

}  // namespace

CharClass CharClassOf(char32_t c) {
  if (c == u'\t') return CharClass::kTab;
  if (c == u' ' || c == 0x3000) return CharClass::kSpace;
  // Zero-width joiner and variation selectors belong to the character before them.
  if (c == 0x200D || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF)) {
    return CharClass::kCombining;
  }
  switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
      return CharClass::kCombining;
    case QChar::Punctuation_Close:
    case QChar::Punctuation_FinalQuote:
      return CharClass::kNoBreakBefore;
    case QChar::Punctuation_Open:
    case QChar::Punctuation_InitialQuote:
      return CharClass::kNoBreakAfter;
    default:
      break;
  }
  switch (c) {
    // Punctuation that closes a clause, Chinese and Western: never at the start of a row.
    case u'，':
    case u'。':
    case u'、':
    case u'；':
    case u'：':
    case u'！':
    case u'？':
    case u'．':
    case u'…':
    case u'‥':
    case u'ー':
    case u'々':
    case u'〃':
    case u',':
    case u'.':
    case u';':
    case u':':
    case u'!':
    case u'?':
    case u'%':
      return CharClass::kNoBreakBefore;
    default:
      break;
  }
  return IsIdeographic(c) ? CharClass::kIdeographic : CharClass::kOrdinary;
}

text::CharMetrics FontCharMetrics(const QFont& font, float tab_stop) {
  // One QFontMetricsF for the table's life: building one per character would cost more than the
  // measuring.
  auto metrics = std::make_shared<QFontMetricsF>(font);
  return text::CharMetrics(
      [metrics](char32_t code_point) {
        const QString text = QString::fromUcs4(&code_point, 1);
        return text::CharMeasure{static_cast<float>(metrics->horizontalAdvance(text)),
                                 CharClassOf(code_point)};
      },
      tab_stop);
}

}  // namespace tambrel::platform::qt
