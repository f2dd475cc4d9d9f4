#pragma once

#include <cstdint>

namespace tambrel::text {

// The Unicode properties the text core segments and wraps by, one packed record per code point,
// generated from the Unicode 15.0 data files by tools/unicode/generate_properties.py (which says
// how each is derived). The enums list their values in the generator's order.

// Grapheme_Cluster_Break (UAX #29).
enum class GraphemeBreak : std::uint8_t {
  kOther,
  kCR,
  kLF,
  kControl,
  kExtend,
  kZwj,
  kRegionalIndicator,
  kPrepend,
  kSpacingMark,
  kL,  // Hangul leading jamo
  kV,  // Hangul vowel jamo
  kT,  // Hangul trailing jamo
  kLV,
  kLVT,
};

// Indic_Conjunct_Break, which rule GB9c of Unicode 15.1 joins conjuncts such as क्ष by.
enum class ConjunctBreak : std::uint8_t { kNone, kLinker, kConsonant, kExtend };

// What word motion makes of a character.
enum class WordClass : std::uint8_t {
  kWord,         // letters, digits, marks and connector punctuation
  kIdeograph,    // Han, kana, Hangul: a run of them is one stop
  kPunctuation,  // other punctuation and symbols, emoji among them
  kSpace,        // Zs and TAB
  kLineBreak,    // CR and LF
};

// The strong direction of Bidi_Class: L, or R and AL; none for every other class.
enum class StrongDirection : std::uint8_t { kNone, kLeftToRight, kRightToLeft };

enum class GeneralCategory : std::uint8_t {
  kUppercaseLetter,       // Lu
  kLowercaseLetter,       // Ll
  kTitlecaseLetter,       // Lt
  kModifierLetter,        // Lm
  kOtherLetter,           // Lo
  kNonspacingMark,        // Mn
  kSpacingMark,           // Mc
  kEnclosingMark,         // Me
  kDecimalNumber,         // Nd
  kLetterNumber,          // Nl
  kOtherNumber,           // No
  kConnectorPunctuation,  // Pc
  kDashPunctuation,       // Pd
  kOpenPunctuation,       // Ps
  kClosePunctuation,      // Pe
  kInitialPunctuation,    // Pi
  kFinalPunctuation,      // Pf
  kOtherPunctuation,      // Po
  kMathSymbol,            // Sm
  kCurrencySymbol,        // Sc
  kModifierSymbol,        // Sk
  kOtherSymbol,           // So
  kSpaceSeparator,        // Zs
  kLineSeparator,         // Zl
  kParagraphSeparator,    // Zp
  kControl,               // Cc
  kFormat,                // Cf
  kSurrogate,             // Cs
  kPrivateUse,            // Co
  kUnassigned,            // Cn
};

namespace unicode_table {
// The generated two-stage table: code points come in chunks of 1 << kChunkShift; kChunkOf names
// each chunk's row of kRecordIndex, whose entries index kRecords.
inline constexpr int kChunkShift = 7;
extern const std::uint32_t kRecords[];
extern const std::uint16_t kChunkOf[];
extern const std::uint8_t kRecordIndex[];
}  // namespace unicode_table

// One code point's properties, unpacked on demand from its record.
class CodePointProperties {
 public:
  explicit constexpr CodePointProperties(std::uint32_t record) : record_(record) {}

  GraphemeBreak Grapheme() const { return static_cast<GraphemeBreak>(Field(0, 4)); }
  bool IsExtendedPictographic() const { return Field(4, 1) != 0; }
  ConjunctBreak Conjunct() const { return static_cast<ConjunctBreak>(Field(5, 2)); }
  WordClass Word() const { return static_cast<WordClass>(Field(7, 3)); }
  StrongDirection Direction() const { return static_cast<StrongDirection>(Field(10, 2)); }
  GeneralCategory Category() const { return static_cast<GeneralCategory>(Field(12, 5)); }

 private:
  constexpr std::uint32_t Field(int shift, int bits) const {
    return (record_ >> shift) & ((std::uint32_t{1} << bits) - 1);
  }

  std::uint32_t record_;
};

// Values past U+10FFFF, which UTF-16 cannot carry, read as U+10FFFF (a noncharacter).
inline CodePointProperties PropertiesOf(char32_t code_point) {
  using namespace unicode_table;
  if (code_point > 0x10FFFF) code_point = 0x10FFFF;
  constexpr char32_t kInChunk = (char32_t{1} << kChunkShift) - 1;
  const std::uint32_t row = kChunkOf[code_point >> kChunkShift];
  return CodePointProperties(
      kRecords[kRecordIndex[(row << kChunkShift) | (code_point & kInChunk)]]);
}

}  // namespace tambrel::text
