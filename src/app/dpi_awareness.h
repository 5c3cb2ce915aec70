#pragma once

namespace modMain {

// Tells Windows that the program lays itself out at each monitor's DPI, so
// that it is not stretched blurry at 125-200 % scaling nor when it moves to
// another monitor. Call before any window exists.
void DeclareDpiAwareness();

}  // namespace modMain
