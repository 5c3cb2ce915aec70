#pragma once
#include <string>

namespace win32 {

// The full path of the running executable, of any length.
std::wstring ExecutablePath();

}  // namespace win32
