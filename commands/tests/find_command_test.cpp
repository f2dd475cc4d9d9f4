// The find command through the window's menu, over the fake window system.
#include <gtest/gtest.h>

#include "commands/find.h"
#include "tests/support/fake_form.h"

namespace tambrel::commands {
namespace {

class FindCommand : public ::testing::Test {
 protected:
  main_window::Form1& form() { return fake_.form(); }
  testing::ScriptedDialogs& dialogs() { return fake_.dialogs(); }

  // One use of the find command, the prompt answered with the given text.
  void Find(std::u16string answer) {
    dialogs().text_answers.push_back(std::move(answer));
    fake_.Click("Cz");
  }

  void ExpectSelection(std::int32_t start, std::int32_t length) {
    EXPECT_EQ(form().Text1.SelStart(), start);
    EXPECT_EQ(form().Text1.SelLength(), length);
  }

  testing::FakeForm fake_;
};

// The order of matches and misses is FindSequence's; these check what the command adds: the
// prompt, the editor's selection and focus, and the text as it is at that moment.
TEST_F(FindCommand, AsksThenSelectsEachMatchAndMissesSilently) {
  form().Text1.SetText(u"abcabc");
  Find(u"abc");
  ASSERT_EQ(dialogs().prompts.size(), 1u);
  EXPECT_EQ(dialogs().prompts[0], u"请输入要搜索的文字");
  ExpectSelection(0, 3);
  EXPECT_EQ(form().FindPos(), 1);
  EXPECT_EQ(fake_.editor().FocusRequests(), 1);
  Find(u"abc");
  ExpectSelection(3, 3);
  EXPECT_EQ(form().FindPos(), 4);

  Find(u"abc");
  ExpectSelection(3, 3);  // a miss leaves the selection alone
  EXPECT_TRUE(dialogs().messages.empty());
  EXPECT_EQ(fake_.editor().FocusRequests(), 2) << "a miss leaves the focus alone";

  Find(u"abc");
  ExpectSelection(0, 3);
}

TEST_F(FindCommand, PositionsCountUtf16UnitsAcrossLinesAndSurrogatePairs) {
  form().Text1.SetText(u"\U00020000ab\ncd\nab");
  Find(u"ab");
  ExpectSelection(2, 2);
  Find(u"ab");
  ExpectSelection(8, 2);
}

TEST_F(FindCommand, ACancelledPromptPutsTheCaretAfterTheLastMatchsFirstCharacter) {
  form().Text1.SetText(u"abcabc");
  Find(u"abc");
  Find(u"abc");
  Find(u"");  // what the input box answers to Cancel
  ExpectSelection(4, 0);
  EXPECT_EQ(form().FindPos(), 5);
}

TEST_F(FindCommand, SearchesTheTextAsItIsNowFromTheLastMatch) {
  form().Text1.SetText(u"xx word");
  Find(u"word");
  EXPECT_EQ(form().FindPos(), 4);
  // Neither a new text nor a clear resets the position: the earlier "word" is skipped.
  form().Text1.SetText(u"word word word");
  Find(u"word");
  ExpectSelection(5, 4);
}

TEST_F(FindCommand, F8RepeatsTheSearchAndWrapsAfterAMiss) {
  form().Text1.SetText(u"一二一二一");
  const auto f8 = [&] {
    dialogs().text_answers.push_back(u"一");
    ASSERT_TRUE(fake_.window().PressShortcut("F8"));
    fake_.ProcessEvents();
  };
  f8();
  ExpectSelection(0, 1);
  f8();
  ExpectSelection(2, 1);
  f8();
  ExpectSelection(4, 1);
  f8();  // nothing after the last: a miss, and the next search starts over
  ExpectSelection(4, 1);
  EXPECT_EQ(form().FindPos(), 0);
  f8();
  ExpectSelection(0, 1);
}

}  // namespace
}  // namespace tambrel::commands
