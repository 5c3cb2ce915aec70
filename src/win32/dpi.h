#pragma once
#include <windows.h>

namespace win32 {

// A user32 function looked up at run time, or null: Windows 10 before 1607
// (1703 for some) lacks the per-monitor calls, and there the system's DPI holds on every monitor.
// Through void(*)(), the function pointer type that converts to any other, as SystemLibrary does.
template <class Function>
Function User32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)))
                           : nullptr;
}

// The system's dots per inch: the primary monitor's when the program started.
int SystemDpi();

// The dots per inch of the monitor the window is on.
int WindowDpi(HWND window);

// A system metric (GetSystemMetrics) as it is at the given dots per inch.
int SystemMetricForDpi(int index, int dpi);

// The window rectangle around a client rectangle, with the frame drawn at the given dots per inch.
RECT FrameAround(RECT client, DWORD style, DWORD exStyle, int dpi);

// Leaves a dialog's layout at a new DPI to the dialog itself: the dialog
// manager would otherwise scale it and hand its children its own font.
void KeepDialogLayout(HWND dialog);

}  // namespace win32
