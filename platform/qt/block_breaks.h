#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tambrel::platform::qt {

// The text that ended each paragraph of the editor's document, in order. The document keeps
// paragraphs apart with one separator whatever ended them; this remembers whether that was CR LF,
// LF, CR or a separator character of its own, so the text comes back out as it went in.
class BlockBreaks {
 public:
  // Each break of the text, as the editor splits it into paragraphs.
  void Assign(std::u16string_view text);
  // Mirrors an edit: `removed` breaks from paragraph `first` on are gone and `inserted` new ones
  // stand in their place: those of `inserted_text` when it holds that many, else (typed or pasted)
  // the new-line text.
  void Splice(std::size_t first, std::size_t removed, std::size_t inserted,
              std::u16string_view inserted_text = {});

  std::size_t Count() const { return breaks_.size(); }
  std::u16string_view Text(std::size_t index) const;
  // How many more units the text counts than the document before paragraph `index`: one for
  // every CR LF ending an earlier paragraph.
  std::int64_t ExtraUnitsBefore(std::size_t index) const;
  std::int64_t ExtraUnits() const { return ExtraUnitsBefore(breaks_.size()); }

  void SetNewLine(std::u16string_view line_break);
  std::u16string_view NewLine() const;

 private:
  enum class Kind : std::uint8_t { kCrLf, kLf, kCr, kParagraphSeparator, kFrameStart, kFrameEnd };
  static std::u16string_view KindText(Kind kind);
  static std::vector<Kind> Parse(std::u16string_view text);

  std::vector<Kind> breaks_;
  Kind new_line_ = Kind::kCrLf;
  // Running counts of CR LF breaks, rebuilt on the first question after an edit.
  mutable std::vector<std::uint32_t> crlf_before_;
  mutable bool counts_stale_ = true;
};

}  // namespace tambrel::platform::qt
