// What the main window shows: the desktop through its background, the strip and its edge.
#include <gtest/gtest.h>

#include "main_window_fixture.h"

namespace {

using tests::ClientPixel;
using tests::MainWindowTest;
using tests::PumpFor;
using namespace std::chrono_literals;

// The colour PaintDesktop gives where no wallpaper bitmap lies (as under Wine).
COLORREF DesktopColor() {
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  PaintDesktop(memory);
  const COLORREF color = GetPixel(memory, 1, 1);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return color;
}

class MainWindowPaintTest : public MainWindowTest {
 protected:
  void ExpectBackground() {
    const HWND window = Form().Handle();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF desktop = DesktopColor();
    ASSERT_NE(desktop, face) << "the test needs a desktop colour unlike the window's own";
    // The strip left of x = 100, under and beside the labels.
    EXPECT_EQ(ClientPixel(window, 3, 3), face);
    EXPECT_EQ(ClientPixel(window, 60, 90), face);
    EXPECT_EQ(ClientPixel(window, 99, 30), face);
    // Its one visible edge, passing under the text boxes' left ends.
    EXPECT_EQ(ClientPixel(window, 100, 3), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(ClientPixel(window, 100, 97), GetSysColor(COLOR_WINDOWTEXT));
    // Elsewhere outside the controls: the desktop, not the window's button-face colour.
    EXPECT_EQ(ClientPixel(window, 101, 3), desktop);
    EXPECT_EQ(ClientPixel(window, 130, 80), desktop);
    EXPECT_EQ(ClientPixel(window, 383, 99), desktop);
    EXPECT_EQ(ClientPixel(window, 292, 78), desktop);  // between the two buttons
    // A label's text lies on the strip, drawn above it.
    const RECT label = Form().lblTag[0].PixelRect();
    int textPixels = 0;
    for (int x = label.left; x < label.right; ++x) {
      for (int y = label.top; y < label.bottom; ++y) textPixels += ClientPixel(window, x, y) != face;
    }
    EXPECT_GT(textPixels, 20) << "the caption is drawn";
  }
};

TEST_F(MainWindowPaintTest, DesktopShowsThroughBesideTheButtonFaceStripAlsoOnceUncovered) {
  ExpectBackground();
  RECT rect;
  GetWindowRect(Form().Handle(), &rect);
  const HWND cover = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_VISIBLE, rect.left,
                                     rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(cover, nullptr);
  PumpFor(100ms);
  DestroyWindow(cover);
  PumpFor(100ms);
  ExpectBackground();
  EXPECT_NE(ClientPixel(Form().cmdStart.Handle(), 10, 10), ClientPixel(Form().Handle(), 130, 80))
      << "the controls are drawn again too";
}

}  // namespace
