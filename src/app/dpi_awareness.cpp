#include "app/dpi_awareness.h"

#include <windows.h>

namespace modMain {

void DeclareDpiAwareness() {
  // Looked up at run time: older Windows 10 builds lack the call.
  using SetContext = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto setContext =
      user32 != nullptr ? reinterpret_cast<SetContext>(
                              reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")))
                        : nullptr;
  if (setContext == nullptr || !setContext(DPI_AWARENESS_CONTEXT_SYSTEM_AWARE)) SetProcessDPIAware();
}

}  // namespace modMain
