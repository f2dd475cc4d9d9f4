// What the text view tells assistive technology as the user works: each edit with the text it
// removed and inserted, then the caret's move, and the selection when it changes; and no more of
// a huge edit than the events carry.
#include "platform/qt/text_view_announcer.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/tests/accessible_view_fixture.h"

namespace tambrel::platform::qt {
namespace {

// One event as assistive technology hears it.
struct Heard {
  QAccessible::Event type = QAccessible::InvalidEvent;
  int position = -1;  // of an edit, of the caret, or the selection's start
  std::u16string removed = {};
  std::u16string inserted = {};
  int selection_end = -1;
  bool operator==(const Heard&) const = default;
};

void PrintTo(const Heard& heard, std::ostream* out) {
  *out << "{event 0x" << std::hex << heard.type << std::dec << " at " << heard.position
       << " removed \"" << ToQString(heard.removed).toStdString() << "\" inserted \""
       << ToQString(heard.inserted).toStdString() << "\" selection end " << heard.selection_end
       << '}';
}

Heard Inserted(int position, std::u16string text) {
  return {.type = QAccessible::TextInserted, .position = position, .inserted = std::move(text)};
}
Heard Removed(int position, std::u16string text) {
  return {.type = QAccessible::TextRemoved, .position = position, .removed = std::move(text)};
}
Heard Updated(int position, std::u16string removed, std::u16string inserted) {
  return {.type = QAccessible::TextUpdated,
          .position = position,
          .removed = std::move(removed),
          .inserted = std::move(inserted)};
}
Heard CaretMoved(int position) {
  return {.type = QAccessible::TextCaretMoved, .position = position};
}
Heard Selected(int start, int end) {
  return {.type = QAccessible::TextSelectionChanged, .position = start, .selection_end = end};
}

// Hears what the view's announcer tells, beside the view's own: Qt drops every event while no
// assistive technology listens, as on the offscreen platform, so the recorder's announcer
// delivers to the recorder instead.
class EventRecorder {
 public:
  explicit EventRecorder(TextView& view)
      : view_(view),
        editor_(view.Model()),
        announcer_(view, editor_, [this](QAccessibleEvent& event) { Hear(event); }),
        views_handler_(editor_.on_change) {
    editor_.on_change = [this](unsigned changed) {
      views_handler_(changed);
      announcer_.Announce(changed);
    };
  }
  ~EventRecorder() { editor_.on_change = views_handler_; }
  EventRecorder(const EventRecorder&) = delete;
  EventRecorder& operator=(const EventRecorder&) = delete;

  // What was heard since the last time.
  std::vector<Heard> Take() { return std::exchange(heard_, {}); }

 private:
  void Hear(QAccessibleEvent& event) {
    Heard heard{.type = event.type()};
    switch (event.type()) {
      case QAccessible::TextInserted: {
        const auto& insert = static_cast<QAccessibleTextInsertEvent&>(event);
        heard.position = insert.changePosition();
        heard.inserted = ToU16(insert.textInserted());
        break;
      }
      case QAccessible::TextRemoved: {
        const auto& remove = static_cast<QAccessibleTextRemoveEvent&>(event);
        heard.position = remove.changePosition();
        heard.removed = ToU16(remove.textRemoved());
        break;
      }
      case QAccessible::TextUpdated: {
        const auto& update = static_cast<QAccessibleTextUpdateEvent&>(event);
        heard.position = update.changePosition();
        heard.removed = ToU16(update.textRemoved());
        heard.inserted = ToU16(update.textInserted());
        break;
      }
      case QAccessible::TextCaretMoved:
        heard.position = static_cast<QAccessibleTextCursorEvent&>(event).cursorPosition();
        break;
      case QAccessible::TextSelectionChanged: {
        const auto& selection = static_cast<QAccessibleTextSelectionEvent&>(event);
        heard.position = selection.selectionStart();
        heard.selection_end = selection.selectionEnd();
        break;
      }
      default:
        ADD_FAILURE() << "an event of type 0x" << std::hex << event.type();
        return;
    }
    EXPECT_EQ(event.object(), &view_) << "every event is the view's";
    heard_.push_back(std::move(heard));
  }
  TextView& view_;
  editor::Editor& editor_;
  TextViewAnnouncer announcer_;
  std::function<void(unsigned)> views_handler_;
  std::vector<Heard> heard_;
};

class Announcements : public AccessibleView {
 protected:
  EventRecorder events_{*view_};
};

TEST_F(Announcements, TypingIsAnInsertionThenACaretMove) {
  box_.SetText(u"春眠");
  Model().Select(2, 2);
  events_.Take();
  QTest::keyClicks(view_, "a");
  EXPECT_EQ(events_.Take(), (std::vector<Heard>{Inserted(2, u"a"), CaretMoved(3)}));
}

TEST_F(Announcements, BackspaceTellsWhatItRemoved) {
  box_.SetText(u"春眠\r\n");
  Model().Select(4, 4);
  events_.Take();
  QTest::keyClick(view_, Qt::Key_Backspace);
  EXPECT_EQ(events_.Take(), (std::vector<Heard>{Removed(2, u"\r\n"), CaretMoved(2)}));
  QTest::keyClick(view_, Qt::Key_Backspace);
  EXPECT_EQ(events_.Take(), (std::vector<Heard>{Removed(1, u"眠"), CaretMoved(1)}));
}

TEST_F(Announcements, SelectingAndTypingOverTheSelection) {
  box_.SetText(u"春眠");
  events_.Take();
  QTest::keyClick(view_, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(events_.Take(), (std::vector<Heard>{Selected(0, 1), CaretMoved(1)}));
  QTest::keyClicks(view_, "b");
  // The caret stays at 1, after the new text; only the selection is gone.
  EXPECT_EQ(events_.Take(), (std::vector<Heard>{Updated(0, u"春", u"b"), Selected(1, 1)}));
}

TEST_F(Announcements, MovingTheCaretAloneSaysNothingOfSelections) {
  box_.SetText(u"春眠");
  events_.Take();
  QTest::keyClick(view_, Qt::Key_Right);
  QTest::keyClick(view_, Qt::Key_Right);
  EXPECT_EQ(events_.Take(), (std::vector<Heard>{CaretMoved(1), CaretMoved(2)}));
  QTest::keyClick(view_, Qt::Key_End);
  EXPECT_TRUE(events_.Take().empty()) << "the caret did not move";
}

TEST_F(Announcements, UndoTellsHowMuchItRemovedAndWhere) {
  box_.SetText(u"春眠");
  Model().Select(2, 2);
  QTest::keyClicks(view_, "ab");
  events_.Take();
  QTest::keyClick(view_, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(events_.Take(), (std::vector<Heard>{Removed(2, u"\uFFFC\uFFFC"), CaretMoved(2)}));
  QTest::keyClick(view_, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(events_.Take(), (std::vector<Heard>{Inserted(2, u"ab"), CaretMoved(4)}));
}

TEST_F(Announcements, ANewTextReplacesTheOld) {
  box_.SetText(u"abc");
  Model().Select(3, 3);
  events_.Take();
  box_.SetText(u"夏日");
  EXPECT_EQ(events_.Take(),
            (std::vector<Heard>{Updated(0, u"\uFFFC\uFFFC\uFFFC", u"夏日"), CaretMoved(0)}));
}

TEST_F(Announcements, EditsThroughTheInterfaceAreHeardToo) {
  box_.SetText(u"春眠");
  events_.Take();
  editable_->insertText(1, QStringLiteral("晓"));
  EXPECT_EQ(events_.Take(), (std::vector<Heard>{Inserted(1, u"晓"), CaretMoved(2)}));
}

TEST_F(Announcements, AHugeEditCarriesOnlyItsStart) {
  std::u16string text(editor::kKeptRemovedUnits + 100, u'中');
  text[0] = u'始';
  box_.SetText(text);
  Model().SelectAll();
  events_.Take();
  QTest::keyClick(view_, Qt::Key_Delete);
  const std::vector<Heard> heard = events_.Take();
  ASSERT_EQ(heard.size(), 3u);
  EXPECT_EQ(heard[0].type, QAccessible::TextRemoved);
  EXPECT_EQ(heard[0].position, 0);
  EXPECT_EQ(heard[0].removed, text.substr(0, editor::kKeptRemovedUnits));
  EXPECT_EQ(heard[1], Selected(0, 0));
  EXPECT_EQ(heard[2], CaretMoved(0));
}

}  // namespace
}  // namespace tambrel::platform::qt
