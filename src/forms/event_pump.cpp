#include "forms/event_pump.h"

#include <windows.h>

#include "forms/message_loop.h"

namespace forms {
namespace {

void PumpPendingEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit for the outer message loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    ProcessMessage(msg);
  }
}

}  // namespace

win32::Seam<EventPumpFunction> EventPumpSeam{PumpPendingEvents};

void DoEvents() { (*EventPumpSeam)(); }

}  // namespace forms
