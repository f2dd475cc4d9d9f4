#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "platform/edit_box.h"

namespace tambrel::platform {

// Ends a preview, below its last line: the rest of the document is still being read.
inline constexpr char16_t kPreviewRestNote[] = u"……（以下内容正在载入，载入完成后才能编辑）";

// What a preview shows: the start with every line break made the one its control takes, an empty
// line, and kPreviewRestNote. A NUL shows as a space, since some controls end their text there.
std::u16string PreviewText(std::u16string_view start, std::u16string_view line_break);

// The edit box the program's logic sees, over the shared editor: its text, its selection and
// every question about display rows, answered the same on every window system. A window system
// adds the widget: its place, font and colour, focus and events.
class EditorEditBox : public EditBox {
 public:
  using EditBox::EditBox;

  std::u16string Text() const override;
  void ForEachTextPiece(const text::PieceVisitor& visit) const override;
  void ForEachTextPiece(std::size_t from, std::size_t length,
                        const text::PieceReader& read) const override;
  std::int32_t TextLength() const override;
  using EditBox::SetText;
  void SetText(const std::u16string& text) override;
  void SetText(text::Units&& text) override;
  void AdoptText(text::TextBuffer&& text) override;
  void SetNewLine(std::u16string_view line_break) override;

  std::int32_t SelStart() const override;
  void SetSelStart(std::int32_t start) override;
  std::int32_t SelLength() const override;
  void SetSelLength(std::int32_t length) override;
  void SetSelText(const std::u16string& text) override;

  std::int32_t LineCount() override;
  std::int32_t LineFromChar(std::int32_t index) override;
  std::int32_t FirstVisibleLine() override;
  std::optional<std::int32_t> CountedFirstVisibleLine() override;
  std::int32_t LineCountUpTo(std::int32_t limit) override;
  std::int32_t LineFromCharUpTo(std::int32_t index, std::int32_t limit) override;

  std::optional<std::vector<TextReplacement>> ReportedChanges() const override;
  void ShowPreview(std::u16string_view start) final;
  void EndPreview() final;
  bool Previewing() const { return previewing_; }
  std::unique_ptr<InputHold> HoldUserInput() override;
  void AfterUserInput(std::function<void()> action) override;

  virtual editor::Editor& Model() = 0;
  const editor::Editor& Model() const { return const_cast<EditorEditBox*>(this)->Model(); }

 protected:
  // Indexing the lines of a large text takes a while: a window system runs it where the window
  // keeps painting meanwhile.
  virtual void RunLongWork(const std::function<void()>& work) { work(); }
  // The window system's part of a preview: a read-only view over the editor's place that shows
  // the start and then kPreviewRestNote, and its going.
  virtual void ShowPreviewWidget(std::u16string_view start) { (void)start; }
  virtual void HidePreviewWidget() {}

 private:
  std::size_t Position(std::int32_t index) const;

  bool previewing_ = false;
};

}  // namespace tambrel::platform
