// Clear (清屏) and the time stamp through the window's menus, over the fake window system.
#include "commands/clear_and_stamp.h"

#include <gtest/gtest.h>

#include <deque>

#include "tests/support/fake_form.h"

namespace tambrel::commands {
namespace {

using platform::MessageAnswer;

class ClearAndStamp : public ::testing::Test {
 protected:
  main_window::Form1& form() { return fake_.form(); }
  testing::ScriptedDialogs& dialogs() { return fake_.dialogs(); }

  testing::FakeForm fake_;
};

TEST_F(ClearAndStamp, ClearAsksAQuestionWithoutAnIcon) {
  form().Text1.SetText(u"abc");
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  fake_.Click("Qp");
  ASSERT_EQ(dialogs().messages.size(), 1u);
  EXPECT_EQ(dialogs().messages[0].text, u"是否清屏？");
  EXPECT_EQ(dialogs().messages[0].title, u"提示");
  EXPECT_EQ(dialogs().messages[0].buttons, platform::MessageButtons::kYesNo);
  EXPECT_EQ(dialogs().messages[0].icon, platform::MessageIcon::kNone);
}

TEST_F(ClearAndStamp, ClearAnsweredYesEmptiesTheText) {
  form().Text1.SetText(u"第一行\n第二行");
  dialogs().message_answers.push_back(MessageAnswer::kYes);
  fake_.Click("Qp");
  EXPECT_EQ(form().Text1.Text(), u"");
  EXPECT_EQ(form().Text1.TextLength(), 0);

  dialogs().message_answers.push_back(MessageAnswer::kYes);
  fake_.Click("Qp");
  EXPECT_EQ(form().Text1.Text(), u"");
}

TEST_F(ClearAndStamp, ClearAnsweredNoLeavesTextAndSelection) {
  form().Text1.SetText(u"abcdef");
  form().Text1.SetSelStart(2);
  form().Text1.SetSelLength(3);
  dialogs().message_answers.push_back(MessageAnswer::kNo);
  fake_.Click("Qp");
  EXPECT_EQ(form().Text1.Text(), u"abcdef");
  EXPECT_EQ(form().Text1.SelStart(), 2);
  EXPECT_EQ(form().Text1.SelLength(), 3);
}

// Answers the readings it was given, one per use.
class FixedClock final : public platform::Clock {
 public:
  explicit FixedClock(std::deque<platform::DateTimeText> readings)
      : readings_(std::move(readings)) {}

  platform::DateTimeText Now() const override {
    if (readings_.empty()) {
      ADD_FAILURE() << "the clock was read more often than expected";
      return {};
    }
    platform::DateTimeText reading = readings_.front();
    readings_.pop_front();
    return reading;
  }

 private:
  mutable std::deque<platform::DateTimeText> readings_;
};

class TimeStamp : public ClearAndStamp {
 protected:
  // The stamp command on the window's own editor, with a clock the test sets.
  void Stamp(FixedClock& clock) { Timer_Click(form().Text1, clock); }
};

TEST_F(TimeStamp, AppendsASpaceTheDateASpaceAndTheTime) {
  FixedClock clock(std::deque<platform::DateTimeText>{{u"2026/12/7", u"9:05:08"}});
  form().Text1.SetText(u"abc");
  Stamp(clock);
  EXPECT_EQ(form().Text1.Text(), u"abc 2026/12/7 9:05:08");
}

TEST_F(TimeStamp, ASecondStampFollowsTheFirstOnTheSameLine) {
  FixedClock clock({{u"2026/12/7", u"23:59:59"}, {u"2026/12/8", u"0:00:01"}});
  form().Text1.SetText(u"行一\n行二");
  Stamp(clock);
  Stamp(clock);
  EXPECT_EQ(form().Text1.Text(), u"行一\n行二 2026/12/7 23:59:59 2026/12/8 0:00:01");
}

TEST_F(TimeStamp, OnAnEmptyEditorStartsWithASpace) {
  FixedClock clock({{u"07.12.26", u"09:05:08"}, {u"07.12.26", u"09:05:09"}});
  Stamp(clock);
  EXPECT_EQ(form().Text1.Text(), u" 07.12.26 09:05:08");
  Stamp(clock);
  EXPECT_EQ(form().Text1.Text(), u" 07.12.26 09:05:08 07.12.26 09:05:09");
}

TEST_F(TimeStamp, TheMenuReadsTheWindowSystemsClock) {
  fake_.windows().SetNow({u"2027/1/2", u"3:04:05"});
  form().Text1.SetText(u"abc");
  fake_.Click("Timer");
  EXPECT_EQ(form().Text1.Text(), u"abc 2027/1/2 3:04:05");
  fake_.windows().SetNow({u"2027/1/2", u"3:04:06"});
  fake_.Click("Timer");
  EXPECT_EQ(form().Text1.Text(), u"abc 2027/1/2 3:04:05 2027/1/2 3:04:06");
}

// Clear and stamp are edits like typing: undo takes them back, and further back the typing before
// them; redo does them again.
class UndoOfClearAndStamp : public ClearAndStamp {
 protected:
  testing::FakeEditBox& editor() { return fake_.editor(); }
};

TEST_F(UndoOfClearAndStamp, UndoBringsBackTheClearedTextAndThenTheTypingBeforeIt) {
  form().Text1.SetText(u"第一行\r\n第二行\r\n");
  form().Text1.SetSelStart(form().Text1.TextLength());
  editor().Type(u"abc");
  const std::u16string typed = u"第一行\r\n第二行\r\nabc";
  ASSERT_EQ(form().Text1.Text(), typed);
  dialogs().message_answers.push_back(MessageAnswer::kYes);
  fake_.Click("Qp");
  ASSERT_EQ(form().Text1.Text(), u"");
  editor().Undo();
  EXPECT_EQ(form().Text1.Text(), typed);
  editor().Undo();
  EXPECT_EQ(form().Text1.Text(), u"第一行\r\n第二行\r\n");
  editor().Redo();
  editor().Redo();
  EXPECT_EQ(form().Text1.Text(), u"");
  EXPECT_FALSE(form().Saved());
}

TEST_F(UndoOfClearAndStamp, UndoTakesTheStampAwayAndTheTypingBeforeIt) {
  form().Text1.SetText(u"行一\n行二");
  form().Text1.SetSelStart(form().Text1.TextLength());
  editor().Type(u"xy");
  FixedClock clock(std::deque<platform::DateTimeText>{{u"2026/12/7", u"9:05:08"}});
  Timer_Click(form().Text1, clock);
  EXPECT_EQ(form().Text1.Text(), u"行一\n行二xy 2026/12/7 9:05:08");
  // As after setting the whole text anew: the caret at the start, nothing selected.
  EXPECT_EQ(form().Text1.SelStart(), 0);
  EXPECT_EQ(form().Text1.SelLength(), 0);
  editor().Undo();
  EXPECT_EQ(form().Text1.Text(), u"行一\n行二xy");
  editor().Undo();
  EXPECT_EQ(form().Text1.Text(), u"行一\n行二");
  editor().Redo();
  editor().Redo();
  EXPECT_EQ(form().Text1.Text(), u"行一\n行二xy 2026/12/7 9:05:08");
}

}  // namespace
}  // namespace tambrel::commands
