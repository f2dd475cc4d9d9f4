// The window built from a definition: controls in order, geometry in twips, menus with access
// keys and function keys that reach their handlers.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/application.h"
#include "platform/edit_box.h"
#include "platform/menu_entry.h"
#include "platform/picture_box.h"
#include "platform/qt/qt_color.h"
#include "platform/qt/qt_user_dialogs.h"
#include "platform/qt/qt_window.h"
#include "platform/qt/qt_window_system.h"
#include "platform/timer.h"

namespace tambrel::platform {
namespace {

class BuiltWindow : public ::testing::Test {
 protected:
  BuiltWindow() {
    WindowDefinition definition;
    definition.name = "Form1";
    definition.caption = u"测试";
    definition.client_width = 6000;
    definition.client_height = 4500;
    ControlDefinition timer = DefineControl("Ticker", ControlKind::kTimer, "Form1", 0, 0);
    timer.interval = 250;
    timer.enabled = false;
    const ControlDefinition box =
        DefineControl("Box", ControlKind::kContainer, "Form1", 0, 0, 6000, 4500);
    ControlDefinition picture =
        DefineControl("Picture", ControlKind::kPictureBox, "Box", 150, 300, 600, 3000);
    picture.font = FontChoice{u"宋体", 12, false, false};
    ControlDefinition editor =
        DefineControl("Editor", ControlKind::kEditBox, "Box", 750, 0, 5250, 4500);
    editor.font = FontChoice{u"宋体", 12, false, false};
    editor.tab_index = 2;
    editor.accepts_drops = true;
    definition.controls = {timer, box, picture, editor};

    const char* keys[] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8"};
    definition.menus.push_back({"First", u"菜单(&C)", "", "", nullptr});
    for (int i = 0; i < 8; ++i) {
      if (i == 4) definition.menus.push_back({"Second", u"字体(&Z)", "", "", nullptr});
      std::string name = std::string("Item") + keys[i];
      definition.menus.push_back({name, u"项", i < 4 ? "First" : "Second", keys[i],
                                  [this, name] { clicked.push_back(name); }});
    }
    window = std::make_unique<qt::QtWindow>(definition, nullptr);
  }

  QMainWindow& main() { return *window->widget(); }
  QAbstractScrollArea& editor() { return *main().findChild<QAbstractScrollArea*>("Editor"); }

  void ShowAndActivate() {
    window->Show();
    main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    editor().setFocus();
  }

  std::vector<std::string> clicked;
  std::unique_ptr<qt::QtWindow> window;
};

TEST_F(BuiltWindow, ListsControlsThenMenusInDefinitionOrder) {
  std::vector<std::string> names;
  for (Control* control : window->Controls()) names.push_back(control->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Ticker", "Box", "Picture", "Editor", "First",
                                             "ItemF1", "ItemF2", "ItemF3", "ItemF4", "Second",
                                             "ItemF5", "ItemF6", "ItemF7", "ItemF8"}));
}

TEST_F(BuiltWindow, GeometryIsInTwipsOfTheContainer) {
  auto& picture = window->Get<PictureBox>("Picture");
  EXPECT_EQ(picture.Left(), 150.0f);
  EXPECT_EQ(picture.Top(), 300.0f);
  EXPECT_EQ(picture.Width(), 600.0f);
  EXPECT_EQ(picture.ClientRect(), (PixelRect{0, 0, 40, 200}));
  EXPECT_EQ(window->ScaleWidth(), 6000.0f);
  EXPECT_EQ(window->ScaleHeight(), 4500.0f);

  ASSERT_TRUE(picture.Move(300, 0, 1200, 1500));
  EXPECT_EQ(picture.ClientRect(), (PixelRect{0, 0, 80, 100}));
  EXPECT_EQ(picture.Left(), 300.0f);
}

TEST_F(BuiltWindow, NumbersFollowTheBoxsFontAndTheColourAsked) {
  auto& picture = window->Get<PictureBox>("Picture");
  const PixelRect box{0, 0, 40, 200};
  const auto draw = [&](ColorRef colour) {
    picture.FillRect(box, 0x00FFFFFF);
    picture.DrawTextRight(u"88", PixelRect{2, 0, 38, 200}, colour);
    int inked = 0;
    bool red = false;
    for (int y = 0; y < 200; ++y) {
      for (int x = 0; x < 40; ++x) {
        const ColorRef pixel = picture.Point(x, y);
        if (pixel != 0x00FFFFFF) ++inked;
        if ((pixel & 0xFF) > 0xC0 && ((pixel >> 8) & 0xFF) < 0x60) red = true;
      }
    }
    return std::pair{inked, red};
  };
  const auto [small_ink, small_red] = draw(0x00000000);
  EXPECT_GT(small_ink, 0);
  EXPECT_FALSE(small_red);
  EXPECT_TRUE(draw(0x000000FF).second) << "the same number in another colour";

  picture.SetFont(FontChoice{u"宋体", 24, true, false});
  EXPECT_GT(draw(0x00000000).first, small_ink * 2) << "the same number in a larger font";
}

TEST_F(BuiltWindow, TimersAndMenusHaveNoGeometry) {
  for (const char* name : {"Ticker", "First", "ItemF3"}) {
    Control& control = window->Get<Control>(name);
    EXPECT_FALSE(control.Left().has_value()) << name;
    EXPECT_FALSE(control.Height().has_value()) << name;
    EXPECT_FALSE(control.Move(0, 0, 100, 100)) << name;
  }
  EXPECT_EQ(window->Get<Timer>("Ticker").Interval(), 250);
  EXPECT_FALSE(window->Get<Timer>("Ticker").Enabled());
}

TEST_F(BuiltWindow, MenuItemsShowTheirFunctionKeys) {
  EXPECT_EQ(window->Get<MenuEntry>("First").Caption(), u"菜单(&C)");
  EXPECT_EQ(window->Get<MenuEntry>("ItemF6").ShortcutText(), u"F6");
  EXPECT_EQ(window->Get<MenuEntry>("First").ShortcutText(), u"");
}

TEST_F(BuiltWindow, FunctionKeysRunTheirItemsWhileTheMenusAreClosed) {
  ShowAndActivate();
  const Qt::Key keys[] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4,
                          Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8};
  for (const Qt::Key key : keys) QTest::keyClick(&editor(), key);
  EXPECT_EQ(clicked, (std::vector<std::string>{"ItemF1", "ItemF2", "ItemF3", "ItemF4", "ItemF5",
                                               "ItemF6", "ItemF7", "ItemF8"}));
}

TEST_F(BuiltWindow, AltWithTheAccessKeyOpensItsMenuAndRunsNothing) {
  ShowAndActivate();
  QTest::keyClick(&editor(), Qt::Key_Z, Qt::AltModifier);
  QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
  EXPECT_EQ(QApplication::activePopupWidget()->objectName(), "Second");
  EXPECT_TRUE(clicked.empty());
  QApplication::activePopupWidget()->close();
}

TEST_F(BuiltWindow, EditorEventsReachTheirHandlers) {
  auto& edit = window->Get<EditBox>("Editor");
  int changes = 0;
  edit.OnChange([&] { ++changes; });
  edit.SetText(u"第一行\n第二行");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(edit.Text(), u"第一行\n第二行");
  EXPECT_EQ(edit.TextLength(), 7);

  edit.SetSelStart(4);
  edit.SetSelLength(2);
  EXPECT_EQ(edit.SelStart(), 4);
  EXPECT_EQ(edit.SelLength(), 2);
  edit.SetSelLength(100);  // clamped to the text
  EXPECT_EQ(edit.SelLength(), 3);
}

TEST_F(BuiltWindow, AHookSeesMessagesAndTheOneItReplacesIsHandedBack) {
  auto& edit = window->Get<EditBox>("Editor");
  int first = 0;
  EXPECT_FALSE(edit.SetHook([&](EditMessage) { ++first; }));
  QEvent poke(QEvent::User);
  QApplication::sendEvent(&editor(), &poke);
  EXPECT_GT(first, 0);
  EditHook previous = edit.SetHook(nullptr);
  ASSERT_TRUE(previous);
  const int seen = first;
  QApplication::sendEvent(&editor(), &poke);
  EXPECT_EQ(first, seen);
}

TEST_F(BuiltWindow, DropsAreReportedAndNeverInserted) {
  auto& edit = window->Get<EditBox>("Editor");
  edit.SetText(u"原文");
  std::vector<DropData> drops;
  edit.OnDrop([&](const DropData& data) { drops.push_back(data); });
  auto* mime = new QMimeData;
  mime->setText(QStringLiteral("不该插入"));
  mime->setUrls({QUrl::fromLocalFile("/tmp/a.txt"), QUrl::fromLocalFile("/tmp/乙.txt")});
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(editor().viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(editor().viewport(), &drop);
  delete mime;
  EXPECT_TRUE(drops.empty()) << "handled only once the drop is over";
  QCoreApplication::processEvents();
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].files, (std::vector<std::u16string>{u"/tmp/a.txt", u"/tmp/乙.txt"}));
  EXPECT_EQ(edit.Text(), u"原文");
}

TEST(NameFilters, PipesBecomeQtFiltersAndStarDotStarMeansEveryFile) {
  EXPECT_EQ(qt::NameFiltersFromPipes(QStringLiteral("TXT文本|*.txt|所有文件|*.*")),
            (QStringList{QStringLiteral("TXT文本 (*.txt)"), QStringLiteral("所有文件 (*)")}));
  EXPECT_EQ(qt::NameFiltersFromPipes(QStringLiteral("文本|*.txt;*.log")),
            (QStringList{QStringLiteral("文本 (*.txt *.log)")}));
  EXPECT_EQ(qt::NameFiltersFromPipes(QStringLiteral("版本|*.*.bak")),
            QStringList({QStringLiteral("版本 (*.*.bak)")}));
  EXPECT_TRUE(qt::NameFiltersFromPipes(QString()).isEmpty());
}

TEST(Translations, StandardButtonsSpeakChinese) {
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("是")));
  EXPECT_TRUE(box.button(QMessageBox::No)->text().contains(QStringLiteral("否")));
}

// Shows a real message box and presses a key in it once it is up; answers the box's answer.
MessageAnswer AnswerWithKey(MessageButtons buttons, Qt::Key key) {
  QTimer::singleShot(0, [key] {
    QWidget* box = QApplication::activeModalWidget();
    if (box != nullptr) QTest::keyClick(box, key);
  });
  qt::QtUserDialogs dialogs(nullptr);
  return dialogs.ShowMessage(u"问题", buttons, MessageIcon::kNone, u"提示");
}

TEST(MessageBoxes, ReturnTakesTheDefaultAnswerAndEscapeSaysNo) {
  EXPECT_EQ(AnswerWithKey(MessageButtons::kYesNo, Qt::Key_Return), MessageAnswer::kYes);
  EXPECT_EQ(AnswerWithKey(MessageButtons::kYesNoDefaultNo, Qt::Key_Return), MessageAnswer::kNo);
  EXPECT_EQ(AnswerWithKey(MessageButtons::kYesNoDefaultNo, Qt::Key_Escape), MessageAnswer::kNo);
  EXPECT_EQ(AnswerWithKey(MessageButtons::kYesNo, Qt::Key_Escape), MessageAnswer::kNo);
  EXPECT_EQ(AnswerWithKey(MessageButtons::kOk, Qt::Key_Return), MessageAnswer::kOk);
}

// The program's own skin, applied as at start-up, for as long as the object lives.
class ProgramSkin {
 public:
  ProgramSkin() { EXPECT_EQ(qt::QtWindowSystem().SkinH_AttachEx(TAMBREL_SKIN_PATH, u""), 0); }
  ~ProgramSkin() { qApp->setStyleSheet(QString()); }
};

TEST(DialogsUnderTheSkin, AShortMessageLeavesRoomForItsTitle) {
  ProgramSkin skin;
  int width = 0;
  QTimer::singleShot(0, [&width] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
    width = box->width();
    QTest::keyClick(box, Qt::Key_Return);
  });
  qt::QtUserDialogs dialogs(nullptr);
  dialogs.ShowMessage(u"保存成功", MessageButtons::kOk, MessageIcon::kInformation, u"提示");
  EXPECT_GE(width, 260);
}

TEST(QtColors, RgbPassesAndSystemColoursComeFromThePalette) {
  EXPECT_EQ(qt::TranslateColor(0x00123456), 0x00123456);
  EXPECT_NE(qt::TranslateColor(kSystemWindowText), kUntranslatableColor);
  EXPECT_NE(qt::TranslateColor(kSystemButtonShadow), kUntranslatableColor);
  EXPECT_EQ(qt::TranslateColor(0x800000FF), kUntranslatableColor);
  EXPECT_EQ(qt::TranslateColor(0x41000000), kUntranslatableColor);
}

TEST(QtColors, TheWindowSystemHandsOutQtsPalette) {
  const auto rgb = [](QPalette::ColorRole role) {
    const QColor color = QApplication::palette().color(QPalette::Active, role);
    return static_cast<ColorRef>(RgbColor(static_cast<std::uint8_t>(color.red()),
                                          static_cast<std::uint8_t>(color.green()),
                                          static_cast<std::uint8_t>(color.blue())));
  };
  const qt::QtWindowSystem windows;
  EXPECT_EQ(TranslateColor(kSystemWindowText, windows.Colors()), rgb(QPalette::Text));
  EXPECT_EQ(TranslateColor(kSystemButtonShadow, windows.Colors()), rgb(QPalette::Mid));
  EXPECT_EQ(TranslateColor(kSystemWindowBackground, windows.Colors()), rgb(QPalette::Base));
}

}  // namespace
}  // namespace tambrel::platform
