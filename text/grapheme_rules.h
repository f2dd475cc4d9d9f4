#pragma once

#include <cstdint>

#include "text/unicode_properties.h"

namespace tambrel::text {

// The rules of UAX #29 that end extended grapheme clusters, with rule GB9c of Unicode 15.1 that
// keeps Indic conjuncts such as क्ष together, applied one code point at a time. What a rule needs
// to know of the code points before the next one is kept as a small state, and none of it reaches
// back past a boundary, so segmenting may begin at any boundary as if the text began there.
class GraphemeRules {
 public:
  // Begins a cluster with `first`: at the start of a text, or after a boundary.
  void Start(CodePointProperties first);
  // Whether a boundary lies before `next`. Takes `next` in either way; after a boundary it is the
  // first code point of the new cluster.
  bool BreaksBefore(CodePointProperties next);

 private:
  // How far the code points so far match the start of rule GB11's
  // \p{Extended_Pictographic} Extend* ZWJ.
  enum class Emoji : std::uint8_t { kNone, kPictographic, kJoiner };
  // How far they match the start of GB9c's
  // Consonant [Extend Linker]* Linker [Extend Linker]*.
  enum class Conjunct : std::uint8_t { kNone, kConsonant, kLinked };

  void Take(CodePointProperties next);

  GraphemeBreak previous_ = GraphemeBreak::kControl;
  // The previous code point is a regional indicator that a next one would pair with.
  bool open_flag_ = false;
  Emoji emoji_ = Emoji::kNone;
  Conjunct conjunct_ = Conjunct::kNone;
};

// Whether two adjacent code points may lie in one cluster, judging by the two alone: false means
// a boundary lies between them whatever comes before. A walk back from a position stops at such
// a pair, since clusters can be found forward from there.
bool MayJoin(CodePointProperties before, CodePointProperties after);

}  // namespace tambrel::text
