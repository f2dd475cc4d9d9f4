// The desktop's dialogs: what the program asks of them turned into what Windows takes (message
// box styles, filters, fonts, colours), and the real dialogs answered from inside their own
// loops as a user would answer them.
#include <gtest/gtest.h>
#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <filesystem>
#include <fstream>

#include "platform/win32/tests/win32_test_support.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_strings.h"
#include "platform/win32/window/color_dialog.h"
#include "platform/win32/window/file_dialog.h"
#include "platform/win32/window/font_dialog.h"
#include "platform/win32/window/input_dialog.h"
#include "platform/win32/window/message_box.h"
#include "platform/win32/window/win32_system_colors.h"
#include "platform/win32/window/win32_user_dialogs.h"

namespace tambrel::platform {

// Fonts as a reader of a failure wants them.
void PrintTo(const FontChoice& font, std::ostream* out) {
  *out << "{" << win32::ToUtf8(font.name) << ", " << font.size << (font.bold ? ", bold" : "")
       << (font.italic ? ", italic" : "") << "}";
}

}  // namespace tambrel::platform

namespace tambrel::platform::win32 {
namespace {

using testing::DialogScript;
using testing::PostKey;
using testing::PressButton;
using testing::WindowText;

TEST(MessageBoxStyle, ButtonsIconAndDefault) {
  EXPECT_EQ(MessageBoxStyle(MessageButtons::kOk, MessageIcon::kExclamation) &
                (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK),
            static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(MessageBoxStyle(MessageButtons::kYesNo, MessageIcon::kNone) &
                (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK),
            static_cast<UINT>(MB_YESNO | MB_DEFBUTTON1));
  EXPECT_EQ(MessageBoxStyle(MessageButtons::kYesNoDefaultNo, MessageIcon::kInformation) &
                (MB_TYPEMASK | MB_ICONMASK | MB_DEFMASK),
            static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2 | MB_ICONINFORMATION));
}

TEST(MessageBoxStyle, OnlyYesAnswersYes) {
  EXPECT_EQ(AnswerOf(MessageButtons::kYesNo, IDYES), MessageAnswer::kYes);
  EXPECT_EQ(AnswerOf(MessageButtons::kYesNo, IDNO), MessageAnswer::kNo);
  EXPECT_EQ(AnswerOf(MessageButtons::kYesNoDefaultNo, IDCANCEL), MessageAnswer::kNo);
  EXPECT_EQ(AnswerOf(MessageButtons::kOk, IDCANCEL), MessageAnswer::kOk);
}

// Shows a real message box and answers it with a key, as the user would.
MessageAnswer AnswerWithKey(MessageButtons buttons, WPARAM key, std::u16string* title = nullptr,
                            std::u16string* text = nullptr) {
  DialogScript script([&](HWND box) {
    if (title != nullptr) *title = WindowText(box);
    if (text != nullptr) *text = WindowText(::GetDlgItem(box, 0xFFFF));
    PostKey(box, key);
  });
  const MessageAnswer answer =
      ShowMessageBox(nullptr, u"文本已改变，是否保存？", buttons, MessageIcon::kNone, u"提示");
  EXPECT_TRUE(script.Acted());
  return answer;
}

TEST(MessageBox, ReturnPressesTheDefaultButton) {
  EXPECT_EQ(AnswerWithKey(MessageButtons::kYesNo, VK_RETURN), MessageAnswer::kYes);
  EXPECT_EQ(AnswerWithKey(MessageButtons::kYesNoDefaultNo, VK_RETURN), MessageAnswer::kNo);
  EXPECT_EQ(AnswerWithKey(MessageButtons::kOk, VK_RETURN), MessageAnswer::kOk);
}

TEST(MessageBox, EscapeAnswersNoToEveryQuestion) {
  EXPECT_EQ(AnswerWithKey(MessageButtons::kYesNo, VK_ESCAPE), MessageAnswer::kNo);
  EXPECT_EQ(AnswerWithKey(MessageButtons::kYesNoDefaultNo, VK_ESCAPE), MessageAnswer::kNo);
}

// A dialog's loop hands each message to the thread's filter before it handles it; Windows' own
// Yes/No box ignores Escape, Wine's answers it, so the filter is checked as the loop calls it.
TEST(MessageBox, EscapeInADialogWithANoButtonPressesNo) {
  const UniqueWindow box(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr,
                                           nullptr, ::GetModuleHandleW(nullptr), nullptr));
  const HWND no = ::CreateWindowExW(0, L"BUTTON", L"否", WS_CHILD, 0, 0, 50, 20, box.get(),
                                    reinterpret_cast<HMENU>(IDNO), ::GetModuleHandleW(nullptr),
                                    nullptr);
  MSG escape{no, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
  MSG posted{};
  {
    const EscapeAnswersNo filter;
    EXPECT_TRUE(::CallMsgFilterW(&escape, MSGF_DIALOGBOX)) << "the key was left to the box";
    ASSERT_TRUE(::PeekMessageW(&posted, box.get(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(LOWORD(posted.wParam), IDNO);
    MSG other_key{no, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    EXPECT_FALSE(::CallMsgFilterW(&other_key, MSGF_DIALOGBOX));
  }
  EXPECT_FALSE(::CallMsgFilterW(&escape, MSGF_DIALOGBOX)) << "the filter outlived its scope";
  EXPECT_FALSE(::PeekMessageW(&posted, box.get(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
}

TEST(MessageBox, ShowsTheTitleAndTextGiven) {
  std::u16string title;
  std::u16string text;
  AnswerWithKey(MessageButtons::kYesNo, VK_RETURN, &title, &text);
  EXPECT_EQ(title, u"提示");
  EXPECT_EQ(text, u"文本已改变，是否保存？");
}

TEST(MessageBox, ClickingYesAnswersYes) {
  DialogScript script([](HWND box) { PressButton(box, IDYES); });
  EXPECT_EQ(ShowMessageBox(nullptr, u"清除?", MessageButtons::kYesNoDefaultNo, MessageIcon::kNone,
                           u"提示"),
            MessageAnswer::kYes);
}

TEST(InputDialog, TheTemplateHoldsAPromptAnEditFieldAndTwoButtons) {
  const std::vector<WORD> layout = InputDialogTemplate();
  const auto* header = reinterpret_cast<const DLGTEMPLATE*>(layout.data());
  EXPECT_EQ(header->cdit, 4);
  EXPECT_TRUE(header->style & DS_SETFONT);
  EXPECT_TRUE(header->style & DS_MODALFRAME);
}

TEST(InputDialog, AnswersWhatWasTypedWhenConfirmed) {
  std::u16string title;
  std::u16string prompt;
  std::u16string ok;
  std::u16string cancel;
  HWND focus = nullptr;
  HWND answer_field = nullptr;
  DialogScript script([&](HWND dialog) {
    title = WindowText(dialog);
    prompt = WindowText(::GetDlgItem(dialog, kInputPromptId));
    ok = WindowText(::GetDlgItem(dialog, IDOK));
    cancel = WindowText(::GetDlgItem(dialog, IDCANCEL));
    focus = ::GetFocus();
    answer_field = ::GetDlgItem(dialog, kInputAnswerId);
    ::SetWindowTextW(answer_field, L"查找的文字");
    PressButton(dialog, IDOK);
  });
  EXPECT_EQ(AskForText(nullptr, u"Tambrel", u"请输入要查找的字符串："), u"查找的文字");
  EXPECT_EQ(title, u"Tambrel");
  EXPECT_EQ(prompt, u"请输入要查找的字符串：");
  EXPECT_EQ(ok, u"确定");
  EXPECT_EQ(cancel, u"取消");
  EXPECT_EQ(focus, answer_field) << "the user types straight away";
}

TEST(InputDialog, ReturnConfirmsAndEscapeCancels) {
  {
    DialogScript script([](HWND dialog) {
      ::SetWindowTextW(::GetDlgItem(dialog, kInputAnswerId), L"abc");
      PostKey(dialog, VK_RETURN);
    });
    EXPECT_EQ(AskForText(nullptr, u"Tambrel", u"?"), u"abc");
  }
  {
    DialogScript script([](HWND dialog) {
      ::SetWindowTextW(::GetDlgItem(dialog, kInputAnswerId), L"abc");
      PostKey(dialog, VK_ESCAPE);
    });
    EXPECT_EQ(AskForText(nullptr, u"Tambrel", u"?"), std::nullopt);
  }
}

TEST(InputDialog, CancelGivesTheProgramAnEmptyText) {
  Win32SystemColors colors;
  Win32UserDialogs dialogs(nullptr, u"Tambrel", colors);
  DialogScript script([](HWND dialog) {
    ::SetWindowTextW(::GetDlgItem(dialog, kInputAnswerId), L"不要");
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(dialogs.AskText(u"?"), u"");
}

// A wide string with the zeros inside it, as the literal writes it.
template <std::size_t N>
std::wstring WithZeros(const wchar_t (&literal)[N]) {
  return std::wstring(literal, N - 1);
}

TEST(DialogFilter, PipesBecomeZeroSeparatedPairsEndedByTwoZeros) {
  EXPECT_EQ(DialogFilter(u"TXT文本|*.txt|所有文件|*.*"),
            WithZeros(L"TXT文本\0*.txt\0所有文件\0*.*\0\0"));
  EXPECT_EQ(DialogFilter(u"文本|*.txt;*.log"), WithZeros(L"文本\0*.txt;*.log\0\0"));
  EXPECT_EQ(DialogFilter(u"TXT文本|*.txt|孤立"), WithZeros(L"TXT文本\0*.txt\0\0"));
  EXPECT_EQ(DialogFilter(u""), L"");
  EXPECT_EQ(DialogFilter(u"只有描述"), L"");
}

TEST(FileDialogFlags, OpenTakesAnyNameAndSaveAsksBeforeReplacing) {
  const DWORD open = FileDialogFlags(FileDialogKind::kOpen);
  const DWORD save = FileDialogFlags(FileDialogKind::kSave);
  EXPECT_FALSE(open & OFN_FILEMUSTEXIST);
  EXPECT_FALSE(open & OFN_PATHMUSTEXIST);
  EXPECT_FALSE(open & OFN_OVERWRITEPROMPT);
  EXPECT_TRUE(save & OFN_OVERWRITEPROMPT);
  EXPECT_TRUE(open & OFN_NOCHANGEDIR);
  EXPECT_TRUE(save & OFN_NOCHANGEDIR);
}

// A folder of its own under the temporary folder, with a Chinese name.
std::filesystem::path FreshFolder(const wchar_t* name) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// Types a path into a file dialog's name field and presses its OK button.
void TypeFileName(HWND dialog, const std::filesystem::path& path) {
  // The Explorer-style dialog names its file-name box cmb13, the older one edt1.
  if (!::SetDlgItemTextW(dialog, cmb13, path.c_str())) {
    ::SetDlgItemTextW(dialog, edt1, path.c_str());
  }
  PressButton(dialog, IDOK);
}

TEST(FileDialog, OpenAnswersTheNameTypedEvenOfAFileNotThereYet) {
  const std::filesystem::path folder = FreshFolder(L"tambrel 打开");
  const std::filesystem::path wanted = folder / L"新文件.txt";
  DialogScript script([&](HWND dialog) { TypeFileName(dialog, wanted); });
  const auto chosen = ChooseFile(nullptr, FileDialogKind::kOpen, u"", u"TXT文本|*.txt|所有文件|*.*");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(std::filesystem::path(AsWide(*chosen)), wanted);
}

TEST(FileDialog, SaveAnswersTheNameTyped) {
  const std::filesystem::path folder = FreshFolder(L"tambrel 保存");
  const std::filesystem::path wanted = folder / L"文档.txt";
  DialogScript script([&](HWND dialog) { TypeFileName(dialog, wanted); });
  const auto chosen = ChooseFile(nullptr, FileDialogKind::kSave, u"", u"TXT文本|*.txt");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(std::filesystem::path(AsWide(*chosen)), wanted);
}

TEST(FileDialog, CancelAnswersNothing) {
  DialogScript script([](HWND dialog) { PressButton(dialog, IDCANCEL); });
  EXPECT_EQ(ChooseFile(nullptr, FileDialogKind::kOpen, u"", u"TXT文本|*.txt"), std::nullopt);
}

TEST(FileDialog, OpensOnTheStartName) {
  const std::filesystem::path folder = FreshFolder(L"tambrel 起点");
  const std::filesystem::path start = folder / L"旧名.txt";
  std::ofstream(start) << "x";
  DialogScript script([](HWND dialog) { PressButton(dialog, IDOK); });
  const auto chosen = ChooseFile(nullptr, FileDialogKind::kOpen,
                                 ToU16(start.wstring()), u"TXT文本|*.txt");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(std::filesystem::path(AsWide(*chosen)), start);
}

TEST(FontConversion, TheDesignFontAtTheWindowsDpi) {
  const LOGFONTW font = LogFontFor(FontChoice{u"宋体", 12, false, false}, 96);
  EXPECT_EQ(font.lfHeight, -16);
  EXPECT_EQ(font.lfWeight, FW_NORMAL);
  EXPECT_FALSE(font.lfItalic);
  EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
  EXPECT_EQ(ToU16(font.lfFaceName), u"SimSun");

  const LOGFONTW large = LogFontFor(FontChoice{u"Tahoma", 10.5, true, true}, 144);
  EXPECT_EQ(large.lfHeight, -21);
  EXPECT_EQ(large.lfWeight, FW_BOLD);
  EXPECT_TRUE(large.lfItalic);
  EXPECT_EQ(large.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(ToU16(large.lfFaceName), u"Tahoma");
  EXPECT_DOUBLE_EQ(PointSizeOf(large, 144), 10.5);
}

TEST(FontConversion, SongFacesGoByTheirWindowsNames) {
  EXPECT_EQ(WindowsFaceName(u"宋体"), u"SimSun");
  EXPECT_EQ(WindowsFaceName(u"新宋体"), u"NSimSun");
  EXPECT_EQ(WindowsFaceName(u"微软雅黑"), u"微软雅黑");
}

TEST(FontConversion, AFaceNameTooLongForGdiIsCutNotOverrun) {
  const LOGFONTW font = LogFontFor(FontChoice{std::u16string(40, u'字'), 12, false, false}, 96);
  EXPECT_EQ(ToU16(font.lfFaceName), std::u16string(LF_FACESIZE - 1, u'字'));
}

TEST(FontConversion, WhatTheFontDialogChoseBecomesTheProgramsFont) {
  LOGFONTW chosen = LogFontFor(FontChoice{u"Tahoma", 14, false, false}, 96);
  chosen.lfWeight = FW_SEMIBOLD;
  const FontChoice start{u"宋体", 12, false, false};
  EXPECT_EQ(ChosenFont(chosen, 140, start), (FontChoice{u"Tahoma", 14, true, false}));
  chosen.lfWeight = FW_MEDIUM;
  chosen.lfItalic = TRUE;
  EXPECT_EQ(ChosenFont(chosen, 105, start), (FontChoice{u"Tahoma", 10.5, false, true}));
  // The face left as it was keeps the name it was asked by.
  const LOGFONTW simsun = LogFontFor(FontChoice{u"宋体", 16, false, false}, 96);
  EXPECT_EQ(ChosenFont(simsun, 160, start).name, u"宋体");
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// A face with a bold style that this desktop has: Windows has Tahoma, Wine under Debian DejaVu.
std::u16string AnInstalledFace() {
  const WindowDc screen(nullptr);
  for (const char16_t* face : {u"Tahoma", u"Arial", u"DejaVu Sans"}) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::u16string(face).copy(reinterpret_cast<char16_t*>(wanted.lfFaceName), LF_FACESIZE - 1);
    bool found = false;
    ::EnumFontFamiliesExW(screen.get(), &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    if (found) return face;
  }
  return u"";
}

TEST(FontDialog, ConfirmingAnswersTheFontItOpenedOn) {
  const std::u16string face = AnInstalledFace();
  ASSERT_FALSE(face.empty()) << "none of the faces the test knows is installed";
  DialogScript script([](HWND dialog) { PressButton(dialog, IDOK); });
  const auto chosen = ChooseFontFor(nullptr, FontChoice{face, 14, true, false});
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, (FontChoice{face, 14, true, false}));
}

TEST(FontDialog, CancelAnswersNothing) {
  DialogScript script([](HWND dialog) { PressButton(dialog, IDCANCEL); });
  EXPECT_EQ(ChooseFontFor(nullptr, FontChoice{u"Tahoma", 14, false, false}), std::nullopt);
}

TEST(ColorConversion, TheDialogOpensOnTheColourAsTheDesktopPaintsIt) {
  Win32SystemColors colors;
  EXPECT_EQ(InitialColor(RgbColor(0xFF, 0, 0), colors), RGB(0xFF, 0, 0));
  EXPECT_EQ(InitialColor(kSystemWindowText, colors), ::GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(InitialColor(0x80000000 | 200, colors), RGB(0, 0, 0));
  EXPECT_EQ(InitialColor(0x01000000, colors), RGB(0, 0, 0));
}

TEST(ColorDialog, ConfirmingAnswersTheColourItOpenedOn) {
  Win32SystemColors colors;
  ColorDialog dialog;
  DialogScript script([](HWND shown) { PressButton(shown, IDOK); });
  EXPECT_EQ(dialog.Choose(nullptr, RgbColor(0xC0, 0x20, 0x10), colors),
            RgbColor(0xC0, 0x20, 0x10));
}

TEST(ColorDialog, CancelAnswersNothing) {
  Win32SystemColors colors;
  ColorDialog dialog;
  DialogScript script([](HWND shown) { PressButton(shown, IDCANCEL); });
  EXPECT_EQ(dialog.Choose(nullptr, RgbColor(0xC0, 0x20, 0x10), colors), std::nullopt);
}

TEST(SystemColors, AreTheDesktopsAndUnknownIndexesNameNothing) {
  Win32SystemColors colors;
  EXPECT_EQ(colors.SystemColor(COLOR_WINDOW), static_cast<ColorRef>(::GetSysColor(COLOR_WINDOW)));
  EXPECT_EQ(colors.SystemColor(COLOR_WINDOWTEXT),
            static_cast<ColorRef>(::GetSysColor(COLOR_WINDOWTEXT)));
  EXPECT_EQ(colors.SystemColor(200), std::nullopt);
  EXPECT_EQ(TranslateColor(kSystemButtonShadow, colors),
            static_cast<ColorRef>(::GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(PaintColor(0x80000000 | 200, colors), ::GetSysColor(COLOR_WINDOW));
}

}  // namespace
}  // namespace tambrel::platform::win32
