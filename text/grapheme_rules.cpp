#include "text/grapheme_rules.h"

namespace tambrel::text {
namespace {

bool IsControl(GraphemeBreak value) {
  return value == GraphemeBreak::kControl || value == GraphemeBreak::kCR ||
         value == GraphemeBreak::kLF;
}

// Rules GB3 to GB9b, which look at the two code points alone.
bool JoinsAsPair(GraphemeBreak before, GraphemeBreak after) {
  using enum GraphemeBreak;
  if (before == kCR && after == kLF) return true;           // GB3
  if (IsControl(before) || IsControl(after)) return false;  // GB4, GB5
  if (before == kL && (after == kL || after == kV || after == kLV || after == kLVT)) {
    return true;  // GB6
  }
  if ((before == kLV || before == kV) && (after == kV || after == kT)) return true;  // GB7
  if ((before == kLVT || before == kT) && after == kT) return true;                  // GB8
  if (after == kExtend || after == kZwj || after == kSpacingMark) return true;       // GB9, GB9a
  return before == kPrepend;                                                         // GB9b
}

}  // namespace

void GraphemeRules::Start(CodePointProperties first) {
  open_flag_ = false;
  emoji_ = Emoji::kNone;
  conjunct_ = Conjunct::kNone;
  Take(first);
}

bool GraphemeRules::BreaksBefore(CodePointProperties next) {
  // The rules after GB9b only ever join, and what they need of the code points before (a linker,
  // a joiner after a pictograph, an unpaired flag half) is never a control.
  const bool joins =
      JoinsAsPair(previous_, next.Grapheme()) ||
      (conjunct_ == Conjunct::kLinked && next.Conjunct() == ConjunctBreak::kConsonant) ||  // GB9c
      (emoji_ == Emoji::kJoiner && next.IsExtendedPictographic()) ||                       // GB11
      (open_flag_ && next.Grapheme() == GraphemeBreak::kRegionalIndicator);  // GB12, GB13
  if (joins) {
    Take(next);
  } else {
    Start(next);
  }
  return !joins;
}

void GraphemeRules::Take(CodePointProperties next) {
  const GraphemeBreak value = next.Grapheme();
  previous_ = value;
  open_flag_ = value == GraphemeBreak::kRegionalIndicator && !open_flag_;

  if (next.IsExtendedPictographic()) {
    emoji_ = Emoji::kPictographic;
  } else if (emoji_ == Emoji::kPictographic && value == GraphemeBreak::kExtend) {
    // Still Extend* after the pictograph.
  } else if (emoji_ == Emoji::kPictographic && value == GraphemeBreak::kZwj) {
    emoji_ = Emoji::kJoiner;
  } else {
    emoji_ = Emoji::kNone;
  }

  switch (next.Conjunct()) {
    case ConjunctBreak::kConsonant:
      conjunct_ = Conjunct::kConsonant;
      break;
    case ConjunctBreak::kLinker:
      if (conjunct_ != Conjunct::kNone) conjunct_ = Conjunct::kLinked;
      break;
    case ConjunctBreak::kExtend:
      break;  // carries on whatever it follows
    case ConjunctBreak::kNone:
      conjunct_ = Conjunct::kNone;
      break;
  }
}

bool MayJoin(CodePointProperties before, CodePointProperties after) {
  if (JoinsAsPair(before.Grapheme(), after.Grapheme())) return true;
  const ConjunctBreak linking = before.Conjunct();
  if (after.Conjunct() == ConjunctBreak::kConsonant &&
      (linking == ConjunctBreak::kLinker || linking == ConjunctBreak::kExtend)) {
    return true;
  }
  if (after.IsExtendedPictographic() && before.Grapheme() == GraphemeBreak::kZwj) return true;
  return before.Grapheme() == GraphemeBreak::kRegionalIndicator &&
         after.Grapheme() == GraphemeBreak::kRegionalIndicator;
}

}  // namespace tambrel::text
