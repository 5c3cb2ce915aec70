#pragma once
#include <windows.h>

namespace win32 {

// While it lives, the window tells Windows why it holds off a shutdown: the
// "this app is preventing shutdown" screen shows the reason instead of nothing.
// Best effort: where the system keeps no reason, nothing else changes.
class ShutdownBlockReason {
 public:
  ShutdownBlockReason(HWND window, const wchar_t* reason) noexcept
      : window_(window != nullptr && ShutdownBlockReasonCreate(window, reason) ? window : nullptr) {}
  ~ShutdownBlockReason() {
    if (window_ != nullptr) ShutdownBlockReasonDestroy(window_);
  }
  ShutdownBlockReason(const ShutdownBlockReason&) = delete;
  ShutdownBlockReason& operator=(const ShutdownBlockReason&) = delete;

 private:
  HWND window_;  // the window that holds a reason, or null
};

}  // namespace win32
