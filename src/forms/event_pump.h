#pragma once
#include <functional>

#include "win32/seam.h"

namespace forms {

using EventPumpFunction = std::function<void()>;
extern win32::Seam<EventPumpFunction> EventPumpSeam;

// Processes every window event pending now, then returns.
void DoEvents();

}  // namespace forms
