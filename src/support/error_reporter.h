#pragma once
#include <windows.h>

#include <string>

namespace support::ErrorReporter {

// Tells the user about a failed system call in one modal box: the program's
// message, a blank line, then the system's description of the error code.
void ShowError(DWORD errorCode, UINT style, const std::wstring& message);

}  // namespace support::ErrorReporter
