#include "app/dpi_awareness.h"

#include <windows.h>

#include "win32/dpi.h"

namespace modMain {

void DeclareDpiAwareness() {
  // Per monitor (v2): the window lays itself out again on a monitor of another
  // DPI instead of being stretched. Windows 10 before 1703 lacks the call, and
  // there the system's DPI has to do.
  const auto setContext =
      win32::User32Function<BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT)>("SetProcessDpiAwarenessContext");
  if (setContext == nullptr || !setContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2)) SetProcessDPIAware();
}

}  // namespace modMain
