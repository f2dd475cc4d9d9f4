#include "commands/clear_and_stamp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <deque>
#include <memory>

#include "commands/tests/form_fixture.h"

namespace tambrel::commands {
namespace {

using platform::MessageAnswer;

TEST_F(FormTest, ClearAsksAQuestionWithoutAnIcon) {
  form.Text1.SetText(u"abc");
  dialogs->message_answers.push_back(MessageAnswer::kNo);
  Click("Qp");
  ASSERT_EQ(dialogs->messages.size(), 1u);
  EXPECT_EQ(dialogs->messages[0].text, u"是否清屏？");
  EXPECT_EQ(dialogs->messages[0].title, u"提示");
  EXPECT_EQ(dialogs->messages[0].buttons, platform::MessageButtons::kYesNo);
  EXPECT_EQ(dialogs->messages[0].icon, platform::MessageIcon::kNone);
}

TEST_F(FormTest, ClearAnsweredYesEmptiesTheText) {
  form.Text1.SetText(u"第一行\n第二行");
  dialogs->message_answers.push_back(MessageAnswer::kYes);
  Click("Qp");
  EXPECT_EQ(form.Text1.Text(), u"");
  EXPECT_EQ(form.Text1.TextLength(), 0);

  dialogs->message_answers.push_back(MessageAnswer::kYes);
  Click("Qp");
  EXPECT_EQ(form.Text1.Text(), u"");
}

TEST_F(FormTest, ClearAnsweredNoLeavesTextAndSelection) {
  form.Text1.SetText(u"abcdef");
  form.Text1.SetSelStart(2);
  form.Text1.SetSelLength(3);
  dialogs->message_answers.push_back(MessageAnswer::kNo);
  Click("Qp");
  EXPECT_EQ(form.Text1.Text(), u"abcdef");
  EXPECT_EQ(form.Text1.SelStart(), 2);
  EXPECT_EQ(form.Text1.SelLength(), 3);
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

class TimeStamp : public FormTest {
 protected:
  // The stamp command on the window's own editor, with a clock the test sets.
  void Stamp(FixedClock& clock) { Timer_Click(form.Text1, clock); }
};

TEST_F(TimeStamp, AppendsASpaceTheDateASpaceAndTheTime) {
  FixedClock clock(std::deque<platform::DateTimeText>{{u"2026/12/7", u"9:05:08"}});
  form.Text1.SetText(u"abc");
  Stamp(clock);
  EXPECT_EQ(form.Text1.Text(), u"abc 2026/12/7 9:05:08");
}

TEST_F(TimeStamp, ASecondStampFollowsTheFirstOnTheSameLine) {
  FixedClock clock({{u"2026/12/7", u"23:59:59"}, {u"2026/12/8", u"0:00:01"}});
  form.Text1.SetText(u"行一\n行二");
  Stamp(clock);
  Stamp(clock);
  EXPECT_EQ(form.Text1.Text(), u"行一\n行二 2026/12/7 23:59:59 2026/12/8 0:00:01");
}

TEST_F(TimeStamp, OnAnEmptyEditorStartsWithASpace) {
  FixedClock clock({{u"07.12.26", u"09:05:08"}, {u"07.12.26", u"09:05:09"}});
  Stamp(clock);
  EXPECT_EQ(form.Text1.Text(), u" 07.12.26 09:05:08");
  Stamp(clock);
  EXPECT_EQ(form.Text1.Text(), u" 07.12.26 09:05:08 07.12.26 09:05:09");
}

TEST_F(TimeStamp, FromTheSystemClockAddsDateAndTimeAfterTheText) {
  form.Text1.SetText(u"abc");
  Click("Timer");
  const std::u16string stamped = form.Text1.Text();
  ASSERT_GT(stamped.size(), 4u);
  EXPECT_EQ(stamped.substr(0, 4), u"abc ");
  EXPECT_NE(stamped.find(u' ', 4), std::u16string::npos) << "no space between date and time";
  EXPECT_NE(stamped.back(), u' ');
}

// Clear and stamp are edits like typing: Ctrl+Z takes them back, and further back the typing
// before them; Ctrl+Y does them again.
class UndoOfClearAndStamp : public FormTest {
 protected:
  UndoOfClearAndStamp() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (auto* found = window->findChild<QWidget*>(QStringLiteral("Text1"))) editor_ = found;
    }
  }

  void Type(const char* keys) { QTest::keyClicks(editor_, keys); }
  void Undo() { QTest::keyClick(editor_, Qt::Key_Z, Qt::ControlModifier); }
  void Redo() { QTest::keyClick(editor_, Qt::Key_Y, Qt::ControlModifier); }

  QWidget* editor_ = nullptr;
};

TEST_F(UndoOfClearAndStamp, UndoBringsBackTheClearedTextAndThenTheTypingBeforeIt) {
  ASSERT_NE(editor_, nullptr);
  form.Text1.SetText(u"第一行\r\n第二行\r\n");
  form.Text1.SetSelStart(form.Text1.TextLength());
  Type("abc");
  const std::u16string typed = u"第一行\r\n第二行\r\nabc";
  ASSERT_EQ(form.Text1.Text(), typed);
  dialogs->message_answers.push_back(MessageAnswer::kYes);
  Click("Qp");
  ASSERT_EQ(form.Text1.Text(), u"");
  Undo();
  EXPECT_EQ(form.Text1.Text(), typed);
  Undo();
  EXPECT_EQ(form.Text1.Text(), u"第一行\r\n第二行\r\n");
  Redo();
  Redo();
  EXPECT_EQ(form.Text1.Text(), u"");
  EXPECT_FALSE(form.Saved());
}

TEST_F(UndoOfClearAndStamp, UndoTakesTheStampAwayAndTheTypingBeforeIt) {
  ASSERT_NE(editor_, nullptr);
  form.Text1.SetText(u"行一\n行二");
  form.Text1.SetSelStart(form.Text1.TextLength());
  Type("xy");
  FixedClock clock(std::deque<platform::DateTimeText>{{u"2026/12/7", u"9:05:08"}});
  Timer_Click(form.Text1, clock);
  EXPECT_EQ(form.Text1.Text(), u"行一\n行二xy 2026/12/7 9:05:08");
  // As after setting the whole text anew: the caret at the start, nothing selected.
  EXPECT_EQ(form.Text1.SelStart(), 0);
  EXPECT_EQ(form.Text1.SelLength(), 0);
  Undo();
  EXPECT_EQ(form.Text1.Text(), u"行一\n行二xy");
  Undo();
  EXPECT_EQ(form.Text1.Text(), u"行一\n行二");
  Redo();
  Redo();
  EXPECT_EQ(form.Text1.Text(), u"行一\n行二xy 2026/12/7 9:05:08");
}

}  // namespace
}  // namespace tambrel::commands
