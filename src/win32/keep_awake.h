#pragma once
#include <windows.h>

namespace win32 {

// Keeps the system from going to sleep while it lives (the display may still
// turn off), and lets it sleep again as soon as it ends, however its scope is left.
class KeepSystemAwake {
 public:
  KeepSystemAwake() noexcept { SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED); }
  // The thread's requirement goes; a lone ES_CONTINUOUS clears it.
  ~KeepSystemAwake() { SetThreadExecutionState(ES_CONTINUOUS); }
  KeepSystemAwake(const KeepSystemAwake&) = delete;
  KeepSystemAwake& operator=(const KeepSystemAwake&) = delete;
};

}  // namespace win32
