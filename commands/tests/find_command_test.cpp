#include <gtest/gtest.h>

#include "commands/find.h"
#include "commands/tests/form_fixture.h"

namespace tambrel::commands {
namespace {

class FindCommand : public FormTest {
 protected:
  // One use of the find command, the prompt answered with the given text.
  void Find(std::u16string answer) {
    dialogs->text_answers.push_back(std::move(answer));
    Click("Cz");
  }

  void ExpectSelection(std::int32_t start, std::int32_t length) {
    EXPECT_EQ(form.Text1.SelStart(), start);
    EXPECT_EQ(form.Text1.SelLength(), length);
  }
};

// The order of matches and misses is FindSequence's; these check what the command adds: the
// prompt, the real editor's selection and focus, and the text as it is at that moment.
TEST_F(FindCommand, AsksThenSelectsEachMatchAndMissesSilently) {
  form.Text1.SetText(u"abcabc");
  Find(u"abc");
  ASSERT_EQ(dialogs->prompts.size(), 1u);
  EXPECT_EQ(dialogs->prompts[0], u"请输入要搜索的文字");
  ExpectSelection(0, 3);
  EXPECT_EQ(form.FindPos(), 1);
  Find(u"abc");
  ExpectSelection(3, 3);
  EXPECT_EQ(form.FindPos(), 4);

  Find(u"abc");
  ExpectSelection(3, 3);  // a miss leaves the selection alone
  EXPECT_TRUE(dialogs->messages.empty());

  Find(u"abc");
  ExpectSelection(0, 3);
}

TEST_F(FindCommand, PositionsCountUtf16UnitsAcrossLinesAndSurrogatePairs) {
  form.Text1.SetText(u"\U00020000ab\ncd\nab");
  Find(u"ab");
  ExpectSelection(2, 2);
  Find(u"ab");
  ExpectSelection(8, 2);
}

TEST_F(FindCommand, ACancelledPromptPutsTheCaretAfterTheLastMatchsFirstCharacter) {
  form.Text1.SetText(u"abcabc");
  Find(u"abc");
  Find(u"abc");
  Find(u"");  // what the input box answers to Cancel
  ExpectSelection(4, 0);
  EXPECT_EQ(form.FindPos(), 5);
}

TEST_F(FindCommand, SearchesTheTextAsItIsNowFromTheLastMatch) {
  form.Text1.SetText(u"xx word");
  Find(u"word");
  EXPECT_EQ(form.FindPos(), 4);
  // Neither a new text nor a clear resets the position: the earlier "word" is skipped.
  form.Text1.SetText(u"word word word");
  Find(u"word");
  ExpectSelection(5, 4);
}

}  // namespace
}  // namespace tambrel::commands
