// The main window in use: its start, its look, typing, keys, closing.
#include <gtest/gtest.h>

#include "app/main.h"
#include "forms/application.h"
#include "forms/modal_box.h"
#include "main_window_fixture.h"
#include "temp_files.h"

namespace {

using tests::MainWindowTest;
using tests::PressKey;
using tests::TypeText;

std::wstring WindowText(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

TEST_F(MainWindowTest, StartsEmptyWithConvertDisabledInOneTahomaFontAndEveryControlInside) {
  auto& form = Form();
  EXPECT_EQ(WindowText(form.Handle()), L"Tessaline");
  EXPECT_EQ(form.txtInFileName.Text() + form.txtOutFileName.Text(), L"");
  EXPECT_FALSE(IsWindowEnabled(form.cmdStart.Handle()));
  const auto font = reinterpret_cast<HFONT>(SendMessageW(form.Handle(), WM_GETFONT, 0, 0));
  LOGFONTW logFont{};
  ASSERT_TRUE(font != nullptr && GetObjectW(font, sizeof logFont, &logFont));
  EXPECT_STREQ(logFont.lfFaceName, L"Tahoma");
  EXPECT_EQ(logFont.lfHeight, -MulDiv(9, form.Dpi(), 72));
  EXPECT_EQ(logFont.lfWeight, FW_NORMAL);
  EXPECT_EQ(logFont.lfCharSet, RUSSIAN_CHARSET);
  RECT client;
  GetClientRect(form.Handle(), &client);
  const std::pair<forms::Control*, const wchar_t*> controls[] = {
      {&form.txtInFileName, L""},  {&form.cmdBrowseInFile, L"..."},     {&form.txtOutFileName, L""},
      {&form.cmdBrowseOutFile, L"..."}, {&form.cmdStart, L"Конвертировать"}, {&form.cmdCancel, L"Отмена"}};
  for (const auto& [control, caption] : controls) {
    SCOPED_TRACE(testing::PrintToString(caption));
    EXPECT_EQ(WindowText(control->Handle()), caption);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control->Handle(), WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(IsWindowEnabled(control->Handle()) != FALSE, control != &form.cmdStart);
    const RECT rect = tests::RectInParent(control->Handle());
    EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= client.right && rect.bottom <= client.bottom);
  }
  EXPECT_TRUE(form.lblTag[0].Enabled() && form.lblTag[1].Enabled());
}

TEST_F(MainWindowTest, ConvertIsEnabledExactlyWhenBothNamesAreFilled) {
  auto& form = Form();
  TypeText(L"a");
  EXPECT_FALSE(form.cmdStart.Enabled());
  SetFocus(form.txtOutFileName.Handle());
  TypeText(L" ");  // a blank is a name too
  EXPECT_TRUE(IsWindowEnabled(form.cmdStart.Handle()));
  TypeText(L"\b");
  EXPECT_FALSE(IsWindowEnabled(form.cmdStart.Handle()));
  form.txtOutFileName.SetText(L"x.iso");  // set by the program: the same rule
  EXPECT_TRUE(IsWindowEnabled(form.cmdStart.Handle()));
  form.txtInFileName.SetText(L"");
  EXPECT_FALSE(IsWindowEnabled(form.cmdStart.Handle()));
  form.cmdStart.SetValue(true);  // a click all the same: nothing happens
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(form.txtOutFileName.BackColor(), 0x80000005u);
}

TEST_F(MainWindowTest, TabSkipsADisabledConvertEnterClicksTheFocusedButtonAndEntrySelectsAll) {
  auto& form = Form();
  int browseClicks = 0;
  form.cmdBrowseInFile.OnClick = [&] { ++browseClicks; };
  form.txtInFileName.SetText(L"disc.nrg");
  PressKey(VK_RETURN);  // convert is disabled: nothing
  EXPECT_TRUE(boxes_.Boxes().empty());
  for (HWND expected : {form.cmdBrowseInFile.Handle(), form.txtOutFileName.Handle(), form.cmdBrowseOutFile.Handle(),
                        form.cmdCancel.Handle(), form.txtInFileName.Handle(), form.cmdBrowseInFile.Handle()}) {
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), expected);
  }
  PressKey(VK_RETURN);
  EXPECT_EQ(browseClicks, 1);
  EXPECT_TRUE(boxes_.Boxes().empty());

  form.txtOutFileName.SetText(L"D:\\Images\\disc.ISO");
  int browseOutClicks = 0;
  form.cmdBrowseOutFile.OnClick = [&] { ++browseOutClicks; };
  SetFocus(form.cmdBrowseOutFile.Handle());
  PressKey(VK_RETURN);
  EXPECT_EQ(browseOutClicks, 1) << "Enter clicks the focused button, not the enabled default one";
  EXPECT_TRUE(boxes_.Boxes().empty());
  PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), form.cmdStart.Handle());
  SetFocus(form.txtOutFileName.Handle());  // not by the dialog keys, which select all by themselves
  DWORD start = 1, end = 0;
  SendMessageW(GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 18u) << "entering a text box selects all of its text";
  TypeText(L"x");
  EXPECT_EQ(form.txtOutFileName.Text(), L"x") << "typing replaces the whole name";
}

TEST_F(MainWindowTest, ShiftF1AloneOpensTheAboutBoxAlsoDuringAConversionWhichWaitsForIt) {
  PressKey(VK_F1);
  PressKey(VK_F1, forms::CtrlMask | forms::ShiftMask);
  PressKey(VK_F1, forms::ShiftMask | forms::AltMask);
  EXPECT_TRUE(boxes_.Boxes().empty());
  PressKey(VK_F1, forms::ShiftMask, Form().cmdCancel.Handle());
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  const auto& about = boxes_.Boxes()[0];
  EXPECT_EQ(about.Owner, Form().Handle());
  EXPECT_EQ(about.Caption, L"О программе");
  EXPECT_EQ(about.Text, L"Kelvane - Tessaline\r\nВерсия 1.00.0008\r\n\r\nАвтор: Kelvane");
  EXPECT_EQ(about.Style, static_cast<UINT>(MB_OK | MB_USERICON));
  EXPECT_TRUE(about.OwnerFont) << "drawn in the window's font";

  tests::TempFolder folder;
  tests::WriteBytes(folder / L"disc.nrg", tests::PatternBytes(307200 + 2 * 65536));
  Form().txtInFileName.SetText(folder / L"disc.nrg");
  Form().txtOutFileName.SetText(folder / L"disc.iso");
  std::size_t outputWhileAbout = 0;
  boxes_.WhileShown = [&](const forms::MessageBoxRequest& box) {
    if (box.Caption != L"О программе") return;
    outputWhileAbout = tests::ReadBytes(folder / L"disc.iso").size();
    // A close request while the box is up, as the system's box would serve it: a stop request all the same.
    const forms::ModalBoxScope boxUp;
    PostMessageW(Form().Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(tests::PumpUntil([] { return modMain::CancelRequested; }));
  };
  boxes_.AnswerWith(IDOK);
  boxes_.AnswerWith(IDCANCEL);  // the stop prompt: go on
  BYTE keys[256], shifted[256];  // Shift held while the conversion serves the key
  GetKeyboardState(keys);
  GetKeyboardState(shifted);
  shifted[VK_SHIFT] = 0x80;
  SetKeyboardState(shifted);
  PostMessageW(Form().Handle(), WM_KEYDOWN, VK_F1, 1);
  Form().cmdStart.SetValue(true);
  SetKeyboardState(keys);
  ASSERT_EQ(boxes_.Boxes().size(), 4u);
  EXPECT_EQ(boxes_.Boxes()[2].Text.substr(0, 21), L"Прервать конвертацию?");
  EXPECT_EQ(boxes_.Boxes()[3].Text, L"NRG файл сконвертирован успешно ^_^v");
  EXPECT_EQ(outputWhileAbout, 65536u) << "the About box came after the first chunk and held the copy";
}

TEST_F(MainWindowTest, CancelWhileIdleClosesWithoutAQuestion) {
  PressKey(VK_TAB, forms::ShiftMask);  // onto cmdCancel, backwards
  ASSERT_EQ(GetFocus(), Form().cmdCancel.Handle());
  PressKey(VK_RETURN);
  EXPECT_FALSE(Form().IsLoaded());
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(modMain::CancelRequested, false);
  EXPECT_TRUE(tests::TakeQuit()) << "the last window gone ends the program";
}

TEST_F(MainWindowTest, DesktopShowsThroughBesideTheStripAlsoOnceUncovered) {
  const HWND window = Form().Handle();
  const auto expectBackground = [&] {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const int strip = MulDiv(1515, Form().Dpi(), 1440);  // the strip's right edge
    EXPECT_EQ(tests::ClientPixel(window, 3, 3), face);
    EXPECT_EQ(tests::ClientPixel(window, strip - 2, 30), face);
    EXPECT_EQ(tests::ClientPixel(window, strip - 1, 3), GetSysColor(COLOR_WINDOWTEXT)) << "its one visible edge";
    RECT client;
    GetClientRect(window, &client);
    // Under Wine's desktop, PaintDesktop gives white: anything but the window's own colour.
    EXPECT_NE(tests::ClientPixel(window, strip, 3), face);
    EXPECT_NE(tests::ClientPixel(window, client.right - 2, client.bottom - 2), face);
    int textPixels = 0;
    const RECT label = Form().lblTag[0].PixelRect();
    for (int x = label.left; x < label.right; ++x) textPixels += tests::ClientPixel(window, x, (label.top + label.bottom) / 2) != face;
    EXPECT_GT(textPixels, 5) << "the caption is drawn over the strip";
  };
  expectBackground();
  RECT rect;
  GetWindowRect(window, &rect);
  const HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, rect.left,
                                     rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(cover, nullptr);
  tests::PumpFor(std::chrono::milliseconds(100));
  DestroyWindow(cover);
  tests::PumpFor(std::chrono::milliseconds(100));
  expectBackground();
}

TEST(StartupTest, MainRegistersThePathAndShowsTheCentredWindowWithItsIconWithoutWaiting) {
  const forms::Application& app = forms::App();
  const std::wstring keyName = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + app.ExeName;
  RegDeleteTreeW(HKEY_CURRENT_USER, keyName.c_str());
  tests::MessageBoxRecorder boxes;

  modMain::Main();  // returns at once: the window runs on its events

  ASSERT_TRUE(ui::frmMain::DefaultInstance);
  ui::frmMain& form = *ui::frmMain::DefaultInstance;
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  EXPECT_TRUE(tests::PumpUntil([&] { return GetFocus() == form.txtInFileName.Handle(); }));
  EXPECT_NE(SendMessageW(form.Handle(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(form.Handle(), WM_GETICON, ICON_SMALL, 0), 0);
  RECT window;
  GetWindowRect(form.Handle(), &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(form.Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  EXPECT_LE(std::abs((window.left + window.right) - (monitor.rcWork.left + monitor.rcWork.right)), 1);
  EXPECT_LE(std::abs((window.top + window.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)), 1);

  wchar_t value[1024] = {};
  DWORD size = sizeof value;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, keyName.c_str(), L"Path", RRF_RT_REG_SZ, nullptr, value, &size), 0);
  EXPECT_EQ(value, app.Path);
  size = sizeof value;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, keyName.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size), 0);
  EXPECT_EQ(value, app.Path + L"\\tessaline_tests.exe");

  form.Unload();
  EXPECT_TRUE(tests::TakeQuit()) << "unloading the only window ends the program";
  ui::frmMain::DefaultInstance.reset();
  RegDeleteTreeW(HKEY_CURRENT_USER, keyName.c_str());
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
