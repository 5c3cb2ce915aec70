#include <algorithm>

#include "win32/failure.h"
#include "support/support_functions.h"

namespace support {

void ksCenterFormEx(HWND window) {
  RECT rect;
  win32::ThrowIfFalse(GetWindowRect(window, &rect), "GetWindowRect");
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  win32::ThrowIfFalse(GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor), "GetMonitorInfoW");
  const RECT& area = monitor.rcWork;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  // A window larger than the work area keeps its title bar on the screen.
  const int left = area.left + std::max(0L, (area.right - area.left - width) / 2);
  const int top = area.top + std::max(0L, (area.bottom - area.top - height) / 2);
  win32::ThrowIfFalse(SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE),
               "SetWindowPos");
}

}  // namespace support
