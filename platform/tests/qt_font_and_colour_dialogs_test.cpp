#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QTimer>
#include <functional>

#include "platform/qt/qt_user_dialogs.h"

namespace tambrel::platform::qt {
namespace {

// Once the modal dialog of type D is up, lets the test look at it and answer it.
template <typename D>
void WhenShown(std::function<void(D&)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
    if (dialog == nullptr) {
      ADD_FAILURE() << "no dialog";
      if (QApplication::activeModalWidget()) QApplication::activeModalWidget()->close();
      return;
    }
    answer(*dialog);
  });
}

TEST(QtFontDialog, OpensOnTheFaceActuallyShownForASubstitutedName) {
  QtUserDialogs dialogs(nullptr);
  const QString shown = QFontInfo(QFont(QStringLiteral("宋体"))).family();
  QString opened_on;
  WhenShown<QFontDialog>([&](QFontDialog& dialog) {
    opened_on = dialog.currentFont().family();
    dialog.reject();
  });
  EXPECT_EQ(dialogs.ChooseFont(FontChoice{u"宋体", 12.0, false, false}), std::nullopt);
  EXPECT_EQ(opened_on, shown);
}

TEST(QtFontDialog, ConfirmingUnchangedKeepsTheNameAndSize) {
  QtUserDialogs dialogs(nullptr);
  WhenShown<QFontDialog>([](QFontDialog& dialog) { dialog.accept(); });
  const FontChoice start{u"宋体", 12.0, true, false};
  EXPECT_EQ(dialogs.ChooseFont(start), start);
}

TEST(QtFontDialog, ConfirmingUnchangedKeepsBoldAndItalicWhereTheFaceHasThem) {
  QtUserDialogs dialogs(nullptr);
  WhenShown<QFontDialog>([](QFontDialog& dialog) { dialog.accept(); });
  const FontChoice start{u"DejaVu Sans", 11.0, true, true};
  EXPECT_EQ(dialogs.ChooseFont(start), start);
}

TEST(QtFontDialog, ConfirmingAnotherFaceAndSizeAnswersThem) {
  QtUserDialogs dialogs(nullptr);
  WhenShown<QFontDialog>([](QFontDialog& dialog) {
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSize(14);
    dialog.setCurrentFont(font);
    dialog.accept();
  });
  const std::optional<FontChoice> chosen =
      dialogs.ChooseFont(FontChoice{u"宋体", 12.0, false, false});
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(chosen->name, u"DejaVu Serif");
  EXPECT_EQ(chosen->size, 14.0);
}

TEST(QtColorDialog, OpensOnTheStartColourAndAnswersTheChoice) {
  QtUserDialogs dialogs(nullptr);
  QColor opened_on;
  WhenShown<QColorDialog>([&](QColorDialog& dialog) {
    opened_on = dialog.currentColor();
    dialog.setCurrentColor(QColor(0, 0, 255));
    dialog.accept();
  });
  EXPECT_EQ(dialogs.ChooseColor(RgbColor(255, 0, 0)), RgbColor(0, 0, 255));
  EXPECT_EQ(opened_on, QColor(255, 0, 0));
}

TEST(QtColorDialog, OpensOnBlackForAColourThatNamesNothing) {
  QtUserDialogs dialogs(nullptr);
  QColor opened_on;
  WhenShown<QColorDialog>([&](QColorDialog& dialog) {
    opened_on = dialog.currentColor();
    dialog.reject();
  });
  EXPECT_EQ(dialogs.ChooseColor(0x12345678), std::nullopt);
  EXPECT_EQ(opened_on, QColor(0, 0, 0));
}

}  // namespace
}  // namespace tambrel::platform::qt
