#include "app/dpi_awareness.h"

#include <windows.h>

namespace modMain {

void DeclareDpiAwareness() {
  // Per monitor (v2): the window lays itself out again on a monitor of another
  // DPI instead of being stretched. Looked up at run time: Windows 10 before
  // 1703 lacks the call, and there the system's DPI has to do.
  using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto setContext =
      user32 != nullptr ? reinterpret_cast<SetContext>(
                              reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                        : nullptr;
  if (setContext == nullptr || !setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) SetProcessDPIAware();
}

}  // namespace modMain
