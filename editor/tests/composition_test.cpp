// The input method's composition at the caret, wrapped like the text around it.
#include <gtest/gtest.h>

#include "editor/tests/test_editor.h"

namespace tambrel::editor {
namespace {

TEST(Composition, AtAFullRowsEndItGoesOnBelowRatherThanOffTheView) {
  TestEditor editor;
  editor->SetText(u"一二三四五六七八九十");  // one full row
  editor->Move(Motion::kDocumentEnd, Selecting::kNo);
  editor->SetComposition(u"你好世界", 2);
  const std::vector<ComposedRow> rows = editor->ComposedCaretRow();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].text, u"一二三四五六七八九十");
  EXPECT_EQ(rows[1].text, u"你好世界");
  EXPECT_EQ(rows[1].composition_start, 0u);
  EXPECT_EQ(rows[1].composition_end, 4u);
  ASSERT_TRUE(rows[1].cursor.has_value());
  EXPECT_EQ(*rows[1].cursor, 2u);
  EXPECT_FALSE(rows[0].cursor.has_value());
}

TEST(Composition, InTheMiddleOfARowTheTextAfterMovesAlong) {
  TestEditor editor;
  editor->SetText(u"abcd");
  editor->Select(2, 2);
  editor->SetComposition(u"XY", 1);
  const std::vector<ComposedRow> rows = editor->ComposedCaretRow();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].text, u"abXYcd");
  EXPECT_EQ(rows[0].composition_start, 2u);
  EXPECT_EQ(rows[0].composition_end, 4u);
  EXPECT_EQ(rows[0].cursor, 3u);
  // Composing changes no text.
  EXPECT_EQ(editor.Text(), u"abcd");
}

}  // namespace
}  // namespace tambrel::editor
