// The program's edit box at a real size, and the accessible interface a screen reader's bridge
// gets for its text view: what the accessibility tests start from.
#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
#include <QFontMetricsF>
#include <QTest>
#include <QWidget>
#include <string>

#include "platform/qt/qt_edit_box.h"
#include "platform/qt/qt_row_geometry.h"
#include "platform/qt/qt_strings.h"
#include "platform/qt/text_view.h"

namespace tambrel::platform::qt {

class AccessibleView : public ::testing::Test {
 protected:
  AccessibleView()
      : box_("Text1", &host_, kWhite, kBlack, FontChoice{u"宋体", 12.0, false, false}),
        view_(box_.view()) {
    host_.resize(420, 300);
    view_->setGeometry(0, 0, 420, 300);
    host_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&host_));
    view_->setFocus();
  }

  void SetUp() override {
    accessible_ = QAccessible::queryAccessibleInterface(view_);
    ASSERT_NE(accessible_, nullptr);
    text_ = accessible_->textInterface();
    editable_ = accessible_->editableTextInterface();
    ASSERT_NE(text_, nullptr);
    ASSERT_NE(editable_, nullptr);
  }

  editor::Editor& Model() { return box_.Model(); }
  std::u16string Text() { return Model().Buffer().Text(); }

  // How many CJK characters (all one em wide) fit on one row, measured as wrapping measures.
  int PerRow() const {
    const QFontMetricsF metrics(view_->TextFont());
    const float available = static_cast<float>(view_->viewport()->width() - 2 * kTextMargin);
    const float advance = static_cast<float>(metrics.horizontalAdvance(QChar(u'中')));
    return static_cast<int>(text::CharMetrics::ToFixed(available) /
                            text::CharMetrics::ToFixed(advance));
  }

  // A line of CJK characters that takes exactly `rows` rows.
  std::u16string LineOfRows(int rows) const {
    return std::u16string(static_cast<std::size_t>((rows - 1) * PerRow() + PerRow() / 2), u'中');
  }

  QWidget host_;
  QtEditBox box_;
  TextView* view_;
  QAccessibleInterface* accessible_ = nullptr;
  QAccessibleTextInterface* text_ = nullptr;
  QAccessibleEditableTextInterface* editable_ = nullptr;
};

}  // namespace tambrel::platform::qt
