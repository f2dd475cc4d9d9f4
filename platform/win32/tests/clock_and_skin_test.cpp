// The clock writes a moment as the locale writes a short date and a long time; the skin must be
// there and readable; twips follow the window's DPI.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/win32/win32_strings.h"
#include "platform/win32/win32_twips.h"
#include "platform/win32/window/win32_clock.h"
#include "platform/win32/window/win32_window_system.h"

namespace tambrel::platform::win32 {
namespace {

SYSTEMTIME Moment() {
  SYSTEMTIME moment{};
  moment.wYear = 2024;
  moment.wMonth = 3;
  moment.wDay = 5;
  moment.wDayOfWeek = 2;
  moment.wHour = 21;
  moment.wMinute = 7;
  moment.wSecond = 3;
  return moment;
}

TEST(Win32Clock, WritesTheShortDateAndTheLongTimeOfTheLocale) {
  const DateTimeText chinese = FormatDateTime(Moment(), L"zh-CN");
  EXPECT_EQ(chinese.date, u"2024/3/5");
  EXPECT_EQ(chinese.time, u"21:07:03");
  const DateTimeText american = FormatDateTime(Moment(), L"en-US");
  EXPECT_EQ(american.date, u"3/5/2024");
  EXPECT_EQ(american.time, u"9:07:03 PM");
}

TEST(Win32Clock, ReadsTheSystemsLocalTimeInTheUsersFormats) {
  SYSTEMTIME before{};
  ::GetLocalTime(&before);
  const DateTimeText now = Win32Clock().Now();
  SYSTEMTIME after{};
  ::GetLocalTime(&after);
  // The clock may have moved on meanwhile; the reading is one of the two moments.
  const DateTimeText first = FormatDateTime(before, LOCALE_NAME_USER_DEFAULT);
  const DateTimeText last = FormatDateTime(after, LOCALE_NAME_USER_DEFAULT);
  EXPECT_TRUE((now.date == first.date && now.time == first.time) ||
              (now.date == last.date && now.time == last.time))
      << "the reading is neither the moment before nor the one after";
  EXPECT_FALSE(now.date.empty());
  EXPECT_FALSE(now.time.empty());
}

class Skin : public ::testing::Test {
 protected:
  Skin() : folder_(std::filesystem::temp_directory_path() / L"tambrel 皮肤") {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~Skin() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
  Win32WindowSystem windows;
};

TEST_F(Skin, AReadableFileAttaches) {
  const auto skin = folder_ / L"Pf.she";
  std::ofstream(skin) << "QMainWindow { background: #eef2f7; }\n";
  EXPECT_EQ(windows.SkinH_AttachEx(skin, u""), 0);
  EXPECT_EQ(windows.SkinH_AttachEx(TAMBREL_SKIN_PATH, u""), 0) << "the skin the program ships";
}

TEST_F(Skin, AMissingFileOrAFolderFails) {
  EXPECT_NE(windows.SkinH_AttachEx(folder_ / L"Pf.she", u""), 0);
  std::filesystem::create_directories(folder_ / L"Pf.she");
  EXPECT_NE(windows.SkinH_AttachEx(folder_ / L"Pf.she", u""), 0);
}

TEST_F(Skin, AFileThatCannotBeReadFails) {
  const auto skin = folder_ / L"Pf.she";
  std::ofstream(skin) << "QMenuBar { color: white; }\n";
  // Another program holds it open and shares nothing.
  const HANDLE held = ::CreateFileW(skin.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_NE(windows.SkinH_AttachEx(skin, u""), 0);
  ::CloseHandle(held);
  EXPECT_EQ(windows.SkinH_AttachEx(skin, u""), 0);
}

TEST(Twips, FifteenToAPixelAt96DpiAndTenAt144) {
  EXPECT_EQ(TwipsToPixels(600, 96), 40);
  EXPECT_EQ(TwipsToPixels(600, 144), 60);
  EXPECT_EQ(TwipsToPixels(11235, 96), 749);
  EXPECT_EQ(TwipsToPixels(7, 96), 0);
  EXPECT_EQ(TwipsToPixels(8, 96), 1);
  EXPECT_FLOAT_EQ(PixelsToTwips(40, 96), 600.0f);
  EXPECT_FLOAT_EQ(PixelsToTwips(60, 144), 600.0f);
  EXPECT_EQ(WindowDpi(nullptr), ::GetDpiForSystem());
}

}  // namespace
}  // namespace tambrel::platform::win32
