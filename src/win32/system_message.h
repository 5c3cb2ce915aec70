#pragma once
#include <windows.h>

#include <string>

namespace win32 {

// The system's own description of an error code, in the user's language,
// followed by the code itself: "Access is denied. (5)".
std::wstring DescribeSystemError(DWORD code);

}  // namespace win32
