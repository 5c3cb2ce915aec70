#pragma once
#include <exception>
#include <functional>

#include "win32/seam.h"

namespace forms {

using EndProgramFunction = std::function<void(int exitCode)>;
// How the toolkit ends the program at once (a run-time error, the end of the
// session); tests record it instead.
extern win32::Seam<EndProgramFunction> EndProgramSeam;

// Tells the user about an error that escaped an event handler, then ends the program.
void ReportRuntimeError(std::exception_ptr error) noexcept;

// Runs one event handler. This is the only place that catches: whatever
// escapes a handler is a run-time error.
template <class Handler>
void Dispatch(Handler&& handler) noexcept {
  try {
    handler();
  } catch (...) {
    ReportRuntimeError(std::current_exception());
  }
}

}  // namespace forms
