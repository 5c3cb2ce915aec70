#include "win32/dpi.h"

#include "win32/failure.h"

namespace win32 {

int SystemDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : USER_DEFAULT_SCREEN_DPI;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
  return dpi != 0 ? static_cast<int>(dpi) : SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  static const auto getMetric = User32Function<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  if (getMetric != nullptr) return getMetric(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

RECT FrameAround(RECT client, DWORD style, DWORD exStyle, int dpi) {
  static const auto adjustForDpi =
      User32Function<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  if (adjustForDpi != nullptr) {
    ThrowIfFalse(adjustForDpi(&client, style, FALSE, exStyle, static_cast<UINT>(dpi)), "AdjustWindowRectExForDpi");
  } else {
    ThrowIfFalse(AdjustWindowRectEx(&client, style, FALSE, exStyle), "AdjustWindowRectEx");
  }
  return client;
}

void KeepDialogLayout(HWND dialog) {
  static const auto setBehavior =
      User32Function<BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS)>(
          "SetDialogDpiChangeBehavior");
  if (setBehavior != nullptr) setBehavior(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

}  // namespace win32
