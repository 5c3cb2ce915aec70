#pragma once
#include <functional>

#include "support/seam.h"

namespace forms {

using EventPumpFunction = std::function<void()>;
extern support::Seam<EventPumpFunction> EventPumpSeam;

// Processes every window event pending now, then returns.
void DoEvents();

}  // namespace forms
