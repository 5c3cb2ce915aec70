// The main window as it first appears: places, sizes, font, start state.
#include <gtest/gtest.h>

#include <vector>

#include "forms/colors.h"
#include "main_window_fixture.h"

namespace {

using tests::MainWindowTest;
using tests::RectInParent;

void ExpectRect(const char* what, const RECT& actual, LONG left, LONG top, LONG width, LONG height) {
  EXPECT_EQ((std::vector<LONG>{actual.left, actual.top, actual.right - actual.left, actual.bottom - actual.top}),
            (std::vector<LONG>{left, top, width, height}))
      << what << ": left, top, width, height";
}

std::wstring WindowText(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

TEST_F(MainWindowTest, StartsEmptyWithConvertDisabled) {
  auto& form = Form();
  EXPECT_EQ(form.txtInFileName.Text() + form.txtOutFileName.Text(), L"");
  EXPECT_FALSE(IsWindowEnabled(form.cmdStart.Handle()));
  for (HWND window : {form.txtInFileName.Handle(), form.cmdBrowseInFile.Handle(), form.txtOutFileName.Handle(),
                      form.cmdBrowseOutFile.Handle(), form.cmdCancel.Handle()}) {
    EXPECT_TRUE(IsWindowEnabled(window) && IsWindowVisible(window));
  }
  EXPECT_TRUE(form.lblTag[0].Enabled() && form.lblTag[1].Enabled());
}

TEST_F(MainWindowTest, EveryControlSitsAtItsPlaceAt96Dpi) {
  ASSERT_EQ(Form().Dpi(), 96) << "the pixel figures below hold at 96 DPI";
  auto& form = Form();
  RECT client;
  GetClientRect(form.Handle(), &client);
  ExpectRect("client area", client, 0, 0, 385, 101);
  ExpectRect("txtInFileName", RectInParent(form.txtInFileName.Handle()), 80, 8, 269, 21);
  ExpectRect("cmdBrowseInFile", RectInParent(form.cmdBrowseInFile.Handle()), 352, 8, 25, 21);
  ExpectRect("txtOutFileName", RectInParent(form.txtOutFileName.Handle()), 80, 36, 269, 21);
  ExpectRect("cmdBrowseOutFile", RectInParent(form.cmdBrowseOutFile.Handle()), 352, 36, 25, 21);
  ExpectRect("cmdStart", RectInParent(form.cmdStart.Handle()), 168, 64, 121, 29);
  ExpectRect("cmdCancel", RectInParent(form.cmdCancel.Handle()), 296, 64, 81, 29);
  ExpectRect("lblTag(0)", form.lblTag[0].PixelRect(), 8, 12, 61, 14);
  ExpectRect("lblTag(1)", form.lblTag[1].PixelRect(), 8, 40, 58, 14);
  ExpectRect("shpBack", form.shpBack.PixelRect(), -16, -40, 117, 321);
}

TEST_F(MainWindowTest, CaptionsAndOneTahomaFontEverywhere) {
  auto& form = Form();
  EXPECT_EQ(WindowText(form.Handle()), L"Tessaline");
  EXPECT_EQ(WindowText(form.cmdStart.Handle()), L"Конвертировать");
  EXPECT_EQ(WindowText(form.cmdCancel.Handle()), L"Отмена");
  EXPECT_EQ(WindowText(form.cmdBrowseInFile.Handle()), L"...");
  EXPECT_EQ(form.lblTag[0].Caption(), L"NRG файл:");
  EXPECT_EQ(form.lblTag[1].Caption(), L"ISO файл:");

  const auto font = reinterpret_cast<HFONT>(SendMessageW(form.Handle(), WM_GETFONT, 0, 0));
  LOGFONTW logFont{};
  ASSERT_TRUE(font != nullptr && GetObjectW(font, sizeof logFont, &logFont));
  EXPECT_STREQ(logFont.lfFaceName, L"Tahoma");
  EXPECT_EQ(logFont.lfHeight, -12) << "9 points at 96 DPI";
  EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
  EXPECT_EQ(logFont.lfCharSet, RUSSIAN_CHARSET);
  EXPECT_FALSE(logFont.lfItalic || logFont.lfUnderline || logFont.lfStrikeOut);
  // That every control has it, at every DPI: main_window_dpi_test.cpp.
}

TEST_F(MainWindowTest, IsCentredOnTheWorkAreaWithTheProgramIconAndTakesLongNames) {
  RECT window;
  GetWindowRect(Form().Handle(), &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(Form().Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  EXPECT_LE(std::abs((window.left + window.right) - (monitor.rcWork.left + monitor.rcWork.right)), 1);
  EXPECT_LE(std::abs((window.top + window.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)), 1);
  EXPECT_NE(SendMessageW(Form().Handle(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(Form().Handle(), WM_GETICON, ICON_SMALL, 0), 0);

  const std::wstring longName = L"C:\\" + std::wstring(40000, L'я') + L".nrg";
  Form().txtInFileName.SetText(longName);
  EXPECT_EQ(Form().txtInFileName.Text(), longName);
}

TEST(TwipsTest, LayoutKeepsItsGapsAtEveryScaling) {
  // Text box, 45 twips, browse button: the gap survives rounding at any DPI.
  for (const int dpi : {96, 120, 144, 168, 192}) {
    SCOPED_TRACE(dpi);
    const RECT box = forms::TwipsToPixels(forms::TwipsRect{1200, 120, 4035, 315}, dpi);
    const RECT button = forms::TwipsToPixels(forms::TwipsRect{5280, 120, 375, 315}, dpi);
    EXPECT_GE(button.left - box.right, 2 * dpi / 96);
    EXPECT_EQ(button.right, forms::TwipsToPixels(5655, dpi));
    EXPECT_EQ(forms::TwipsToPixels(5775, dpi) - button.right, forms::TwipsToPixels(120, dpi));
  }
  EXPECT_EQ(forms::TwipsToPixels(-240, 96), -16);
  EXPECT_EQ(forms::TwipsToPixels(1515, 144), 152);  // 151.5 rounds up
}

}  // namespace
