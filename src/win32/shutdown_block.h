#pragma once
#include <windows.h>

#include <functional>

#include "win32/seam.h"

namespace win32 {

// The system's calls that give and take back a window's reason for holding off
// a shutdown; tests record them instead (Wine keeps no reason).
struct ShutdownBlockCalls {
  std::function<BOOL(HWND window, const wchar_t* reason)> Create;
  std::function<BOOL(HWND window)> Destroy;
};
extern Seam<ShutdownBlockCalls> ShutdownBlockSeam;

// While it lives, the window tells Windows why it holds off a shutdown: the
// "this app is preventing shutdown" screen shows the reason instead of nothing.
// Best effort: where the system keeps no reason, nothing else changes.
class ShutdownBlockReason {
 public:
  ShutdownBlockReason(HWND window, const wchar_t* reason)
      : window_(window != nullptr && ShutdownBlockSeam->Create(window, reason) ? window : nullptr) {}
  ~ShutdownBlockReason() {
    if (window_ != nullptr) ShutdownBlockSeam->Destroy(window_);
  }
  ShutdownBlockReason(const ShutdownBlockReason&) = delete;
  ShutdownBlockReason& operator=(const ShutdownBlockReason&) = delete;

 private:
  HWND window_;  // the window that holds a reason, or null
};

}  // namespace win32
