// The window on a monitor of any common DPI: laid out again from its twips, nothing clipped.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "forms/owner_font_box.h"
#include "main_window_fixture.h"

namespace {

using tests::MainWindowTest;
using tests::RectInParent;

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); }

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// The text's size in the font, its lines one under the other.
SIZE TextSize(HFONT font, const std::wstring& text) {
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  RECT rect{};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {rect.right, rect.bottom};
}

int IconWidth(LRESULT icon) {
  ICONINFO info{};
  BITMAP bitmap{};
  if (GetIconInfo(reinterpret_cast<HICON>(icon), &info)) GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// The child lies inside its parent's client area and has the font; its text (a button's within its edges) fits.
void ExpectWholeIn(HWND child, HFONT font, int edge) {
  RECT client, rect = RectInParent(child), inside;
  GetClientRect(GetParent(child), &client);
  IntersectRect(&inside, &rect, &client);
  EXPECT_TRUE(EqualRect(&inside, &rect) && FontOf(child) == font) << testing::PrintToString(TextOf(child));
  const SIZE text = TextSize(font, TextOf(child).empty() ? L"Wy" : TextOf(child));
  GetClientRect(child, &rect);
  EXPECT_TRUE(text.cx + 2 * edge <= rect.right && text.cy + 2 * edge <= rect.bottom)
      << testing::PrintToString(TextOf(child)) << " clipped";
}

TEST_F(MainWindowTest, LaysItselfOutAgainOnAMonitorOfAnotherDpiAndSoDoesTheAboutBox) {
  auto& form = Form();
  const HWND window = form.Handle();
  struct Case { int dpi; LONG fontHeight, cancelRight; int bigIcon, smallIcon; };
  for (const Case& c : {Case{96, -12, 377, 32, 16}, Case{120, -15, 471, 40, 20}, Case{144, -18, 566, 48, 24},
                        Case{192, -24, 754, 64, 32}}) {
    SCOPED_TRACE(c.dpi);
    // As Windows does: it asks the window its size at the new DPI and suggests a rectangle of that size.
    SIZE size{};
    ASSERT_TRUE(SendMessageW(window, WM_GETDPISCALEDSIZE, c.dpi, reinterpret_cast<LPARAM>(&size)));
    RECT now, suggested = {40, 30, 40 + size.cx, 30 + size.cy};
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(c.dpi, c.dpi), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(window, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested)) << "takes the suggested rectangle";

    const HFONT font = FontOf(window);
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    EXPECT_EQ(logFont.lfHeight, c.fontHeight) << "9 points";
    EXPECT_EQ(RectInParent(form.cmdCancel.Handle()).right, c.cancelRight);
    for (HWND control : {form.txtInFileName.Handle(), form.cmdBrowseInFile.Handle(), form.txtOutFileName.Handle(),
                         form.cmdBrowseOutFile.Handle(), form.cmdStart.Handle(), form.cmdCancel.Handle()}) {
      ExpectWholeIn(control, font, 1);
    }
    for (int i : {0, 1}) {
      const SIZE text = TextSize(font, i == 0 ? L"NRG файл:" : L"ISO файл:");
      const RECT rect = form.lblTag[i].PixelRect();
      EXPECT_TRUE(rect.left + text.cx <= RectInParent(form.txtInFileName.Handle()).left &&
                  text.cy <= rect.bottom - rect.top)
          << "a label beside its box, all of its height";
    }
    EXPECT_EQ(IconWidth(SendMessageW(window, WM_GETICON, ICON_BIG, 0)), c.bigIcon);
    EXPECT_EQ(IconWidth(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)), c.smallIcon);
  }

  // Now at 192 DPI: the About box in the window's font throughout, its icon at that DPI's size.
  auto realBox = forms::MessageBoxSeam.Replace(forms::ShowBoxInOwnerFont);
  std::thread looker([&] {
    HWND box = nullptr;
    for (int tries = 0; box == nullptr && tries < 300; ++tries, Sleep(10)) {
      box = FindWindowW(L"#32770", L"О программе");
    }
    ASSERT_TRUE(box != nullptr && GetWindow(box, GW_OWNER) == window) << "no About box";
    int texts = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (const LRESULT icon = SendMessageW(child, STM_GETICON, 0, 0)) {
        EXPECT_EQ(IconWidth(icon), 64);
      } else {
        ExpectWholeIn(child, FontOf(window), TextOf(child) == L"OK" ? 1 : 0);
        ++texts;
      }
    }
    EXPECT_EQ(texts, 2) << "its text and its button";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  tests::PressKey(VK_F1, forms::ShiftMask);
  looker.join();
}

}  // namespace
