#pragma once

#include <cstdint>
#include <iterator>
#include <random>
#include <string>

#include "recovery/journal_format.h"

namespace tambrel::recovery::testing {

// A user's typing, the same for the same seed: insertions of Chinese, emoji, accents and line
// breaks (lone CR and LF among them), deletions and replacements, over a text that stays a few
// thousand units long.
class TypingScript {
 public:
  explicit TypingScript(std::uint32_t seed) : random_(seed) {}

  // The next edit, applied to `text`.
  JournalEdit Next(std::u16string& text) {
    JournalEdit edit = Choose(text.size(), /*lone_breaks=*/true);
    text.replace(edit.position, edit.removed, edit.inserted);
    return edit;
  }

  // The next edit of a text of `length` units, not applied. Without lone breaks, the only break
  // it inserts is CR LF, which typing keeps as it is in a CR LF document.
  JournalEdit Choose(std::size_t length, bool lone_breaks) {
    static const std::u16string pieces[] = {u"你", u"好",   u"世界",    u"👨‍👩‍👧",
                                            u"a",  u"\r\n", u"e\u0301", u"  ",
                                            u"\r", u"\n"};
    const std::size_t choices = std::size(pieces) - (lone_breaks ? 0 : 2);
    const std::size_t position = random_() % (length + 1);
    std::size_t removed = 0;
    if (random_() % 3 == 0 || length > 4000) removed = random_() % (length - position + 1) % 8;
    std::u16string inserted;
    for (std::uint32_t i = random_() % 3; i > 0; --i) inserted += pieces[random_() % choices];
    return JournalEdit{position, removed, std::move(inserted), 0};
  }

 private:
  std::mt19937 random_;
};

}  // namespace tambrel::recovery::testing
