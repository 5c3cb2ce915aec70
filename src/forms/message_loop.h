#pragma once
#include <windows.h>

namespace forms {

// One message, the way the toolkit handles every message it takes from the
// queue: the form's key preview and dialog keys first, then dispatch.
void ProcessMessage(MSG& msg);

// The run-time: calls the start-up procedure, then dispatches events until
// the last form is unloaded. Returns the process exit code.
int Run(void (*startup)());

}  // namespace forms
