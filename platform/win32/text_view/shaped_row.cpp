#include "platform/win32/text_view/shaped_row.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/win32/win32_strings.h"

namespace tambrel::platform::win32 {
namespace {

int ToInt(std::size_t value) { return static_cast<int>(std::min<std::size_t>(value, INT_MAX)); }

}  // namespace

ShapedRow::ShapedRow(HDC dc, std::u16string_view text, editor::Direction direction, int tab_stop) {
  // Uniscribe refuses to analyse nothing: an empty row is simply empty.
  if (text.empty()) return;
  const bool right_to_left = direction == editor::Direction::kRightToLeft;
  SCRIPT_CONTROL control{};
  SCRIPT_STATE state{};
  state.uBidiLevel = right_to_left ? 1 : 0;
  int stops[] = {std::max(1, tab_stop)};
  // One stop repeated, in device units (a scale of 4 quarters), counted from the row's start.
  SCRIPT_TABDEF tabs{1, 4, stops, 0};
  DWORD flags = SSA_GLYPHS | SSA_FALLBACK | SSA_TAB;
  if (right_to_left) flags |= SSA_RTL;
  const int length = ToInt(text.size());
  const HRESULT result =
      ::ScriptStringAnalyse(dc, AsWide(text), length, length * 3 / 2 + 16, -1, flags, 0, &control,
                            &state, nullptr, &tabs, nullptr, &analysis_);
  if (FAILED(result)) {
    analysis_ = nullptr;
    return;
  }
  length_ = static_cast<std::size_t>(length);
  if (const SIZE* size = ::ScriptString_pSize(analysis_)) width_ = size->cx;
}

ShapedRow::~ShapedRow() { Free(); }

ShapedRow::ShapedRow(ShapedRow&& other) noexcept
    : analysis_(std::exchange(other.analysis_, nullptr)),
      length_(std::exchange(other.length_, 0)),
      width_(std::exchange(other.width_, 0)) {}

ShapedRow& ShapedRow::operator=(ShapedRow&& other) noexcept {
  if (this != &other) {
    Free();
    analysis_ = std::exchange(other.analysis_, nullptr);
    length_ = std::exchange(other.length_, 0);
    width_ = std::exchange(other.width_, 0);
  }
  return *this;
}

void ShapedRow::Free() {
  if (analysis_ != nullptr) ::ScriptStringFree(&analysis_);
  analysis_ = nullptr;
}

int ShapedRow::EdgeX(std::size_t unit, bool trailing) const {
  if (analysis_ == nullptr || length_ == 0) return 0;
  int x = 0;
  if (FAILED(::ScriptStringCPtoX(analysis_, ToInt(std::min(unit, length_ - 1)), trailing, &x))) {
    return 0;
  }
  return x;
}

int ShapedRow::CaretX(std::size_t offset) const {
  // Uniscribe knows no position past the last unit: the end is the last unit's trailing edge.
  if (offset >= length_) return EdgeX(length_ - 1, true);
  return EdgeX(offset, false);
}

std::optional<std::size_t> ShapedRow::UnitAt(int x) const {
  if (analysis_ == nullptr) return std::nullopt;
  int unit = -1;
  int trailing = 0;
  if (FAILED(::ScriptStringXtoCP(analysis_, x, &unit, &trailing))) return std::nullopt;
  if (unit < 0 || static_cast<std::size_t>(unit) >= length_) return std::nullopt;
  return static_cast<std::size_t>(unit);
}

void ShapedRow::Draw(int x, int y, std::size_t selection_start, std::size_t selection_end) const {
  if (analysis_ == nullptr) return;
  const int from = ToInt(std::min(selection_start, length_));
  const int to = ToInt(std::min(selection_end, length_));
  ::ScriptStringOut(analysis_, x, y, 0, nullptr, from, std::max(from, to), FALSE);
}

}  // namespace tambrel::platform::win32
