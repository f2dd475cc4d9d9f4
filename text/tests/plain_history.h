#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "text/text_change.h"

namespace tambrel::text {

// A plain string with the undo history TextBuffer promises, kept the obvious way: the whole text
// before every step. Edits join the last step by the rules of TextBuffer::Replace.
struct PlainHistory {
  struct Step {
    std::u16string before;
    std::size_t position;
    std::size_t inserted;
  };

  bool Continues(std::size_t position, std::size_t length, std::size_t inserted) const {
    if (!open || undo.empty()) return false;
    const Step& last = undo.back();
    if (length == 0) return last.inserted > 0 && last.position + last.inserted == position;
    return inserted == 0 && last.inserted == 0 &&
           (position + length == last.position || position == last.position);
  }

  // Clamps as TextBuffer::Replace does.
  void Replace(std::size_t position, std::size_t length, std::u16string_view inserted,
               Merge merge) {
    position = std::min(position, text.size());
    length = std::min(length, text.size() - position);
    if (length == 0 && inserted.empty()) return;
    if (merge == Merge::kWithPrevious && Continues(position, length, inserted.size())) {
      undo.back().inserted += inserted.size();
      undo.back().position = std::min(undo.back().position, position);
    } else {
      undo.push_back({text, position, inserted.size()});
    }
    redo.clear();
    text.replace(position, length, inserted);
    open = true;
  }

  bool Undo() {
    if (undo.empty()) return false;
    redo.push_back(std::move(text));
    text = std::move(undo.back().before);
    undo.pop_back();
    open = false;
    return true;
  }

  bool Redo() {
    if (redo.empty()) return false;
    undo.push_back({std::move(text), 0, 0});
    text = std::move(redo.back());
    redo.pop_back();
    open = false;
    return true;
  }

  void BreakUndoGroup() { open = false; }

  std::u16string text;
  std::vector<Step> undo;
  std::vector<std::u16string> redo;
  bool open = false;
};

}  // namespace tambrel::text
