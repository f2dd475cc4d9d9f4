#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "recovery/journal_format.h"

namespace tambrel::recovery::testing {

// A user's typing, the same for the same seed: insertions of Chinese, emoji, line breaks split
// between CR and LF, deletions and replacements, over a text that stays a few thousand units.
class TypingScript {
 public:
  explicit TypingScript(std::uint32_t seed) : random_(seed) {}

  // The next edit, applied to `text`.
  JournalEdit Next(std::u16string& text) {
    static const std::u16string pieces[] = {u"你",      u"好", u"世界", u"👨‍👩‍👧",
                                            u"a",       u"\r", u"\n",   u"\r\n",
                                            u"e\u0301", u"  "};
    const std::size_t position = random_() % (text.size() + 1);
    std::size_t removed = 0;
    if (random_() % 3 == 0 || text.size() > 4000)
      removed = random_() % (text.size() - position + 1) % 8;
    std::u16string inserted;
    for (std::uint32_t i = random_() % 3; i > 0; --i)
      inserted += pieces[random_() % std::size(pieces)];
    text.replace(position, removed, inserted);
    return JournalEdit{position, removed, std::move(inserted), 0};
  }

 private:
  std::mt19937 random_;
};

}  // namespace tambrel::recovery::testing
