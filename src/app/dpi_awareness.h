#pragma once

namespace modMain {

// Tells Windows that the program lays itself out at the system's DPI, so
// that it is not stretched blurry at 125-200 % scaling. Call before any window exists.
void DeclareDpiAwareness();

}  // namespace modMain
