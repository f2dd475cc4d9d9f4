#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/background_work.h"
#include "platform/edit_box.h"
#include "platform/user_dialogs.h"
#include "text/text_pieces.h"

namespace tambrel::commands {

// The 1-based position of the first occurrence of sought in text that begins at or after
// start, comparing UTF-16 units exactly; 0 when there is none. An empty text holds nothing; an
// empty sought text is found at start itself while start lies within the text.
std::int32_t FindFrom(std::int64_t start, std::u16string_view text, std::u16string_view sought);

// A text in pieces, read from any place, with its length.
struct PiecewiseText {
  text::TextRange pieces;
  std::size_t length = 0;
};

// How a long search is shared out: each processor searches an equal stretch of what is left of
// the text, so that a gigabyte kept as the bytes it was read from, decoded as it is searched, is
// searched by every processor at once. Tests share short texts too.
struct SearchShares {
  // 0: one for each processor.
  std::size_t count = 0;
  // Less text than this is searched on one thread.
  std::size_t from_units = std::size_t{16} << 20;
};

// The same search over a text in pieces; a match may run across pieces. It reads only from
// start on, and only until the match. With progress, tells how far it has come and answers 0 when
// asked to stop.
std::int32_t FindFrom(std::int64_t start, const PiecewiseText& text, std::u16string_view sought,
                      platform::WorkProgress* progress = nullptr, SearchShares shares = {});

// What one search does: the new FindPos, and the selection to make when it matched.
struct FindStep {
  struct Selection {
    std::int32_t start = 0;  // 0-based
    std::int32_t length = 0;
  };
  std::int32_t find_pos = 0;
  std::optional<Selection> selection;
};

// The search after the last match at find_pos (0 before any search). A miss sets FindPos back to
// 0, so the next search starts at the first character again and a match there stays reachable.
FindStep NextFind(std::u16string_view text, std::u16string_view sought, std::int32_t find_pos);
// A text in pieces with the work that searches it: a search through a large document takes a
// while, so it runs as background work while the window keeps painting.
struct SearchInBackground {
  const PiecewiseText& text;
  platform::BackgroundWork& work;
};

// The same search through a text in pieces, as background work that shows its progress; Esc
// stops it, which leaves FindPos where it was and selects nothing.
FindStep NextFind(const SearchInBackground& search, std::u16string_view sought,
                  std::int32_t find_pos);

// Whatever can take the focus and a selection will do as the control a search selects in.
template <typename T>
concept SelectableText = requires(T& control, std::int32_t value) {
  control.SetFocus();
  control.SetSelStart(value);
  control.SetSelLength(value);
};

// Searches on from FindPos and, on a match, focuses the control and selects the match in it.
// A miss is silent: the control keeps its focus and selection.
template <SelectableText TextControl, typename SearchedText>
void 搜索字符串(const SearchedText& 被搜索的字符串, const std::u16string& 要搜索的字符串,
                TextControl& 要控制的文本控件, std::int32_t& FindPos) {
  const FindStep step = NextFind(被搜索的字符串, 要搜索的字符串, FindPos);
  FindPos = step.find_pos;
  if (!step.selection) return;
  要控制的文本控件.SetFocus();
  要控制的文本控件.SetSelStart(step.selection->start);
  要控制的文本控件.SetSelLength(step.selection->length);
}

// The find command: asks for the text, then searches on from the last match as the window's
// background work.
void Cz_Click(platform::EditBox& Text1, platform::UserDialogs& dialogs,
              platform::BackgroundWork& work, std::int32_t& FindPos);

inline constexpr char16_t kFindPrompt[] = u"请输入要搜索的文字";
inline constexpr char16_t kFinding[] = u"正在查找";

}  // namespace tambrel::commands
