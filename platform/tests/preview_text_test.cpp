// The text a preview of a document being read shows, the same rule for every window system.
#include <gtest/gtest.h>

#include "platform/editor_edit_box.h"

namespace tambrel::platform {
namespace {

TEST(PreviewText, EveryLineBreakBecomesTheControlsAndTheNoteFollowsAnEmptyLine) {
  const std::u16string note = kPreviewRestNote;
  EXPECT_EQ(PreviewText(u"一\n二\r\n三\r四", u"\n"), u"一\n二\n三\n四\n\n" + note);
  EXPECT_EQ(PreviewText(u"一\r\n", u"\r\n"), u"一\r\n\r\n" + note);
  EXPECT_EQ(PreviewText(u"\r\r\n", u"\n"), u"\n\n\n" + note);
  EXPECT_EQ(PreviewText(u"", u"\n"), note);
  EXPECT_EQ(PreviewText(std::u16string_view(u"a\0b", 3), u"\n"), u"a b\n\n" + note);
}

}  // namespace
}  // namespace tambrel::platform
