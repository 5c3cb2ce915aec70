#pragma once
#include <windows.h>

#include <string>

namespace support {

// Tells the user about a failed system call: the program's message, then the
// system's description of the error code, in one modal box.
class ErrorReporter {
 public:
  void ShowError(DWORD errorCode, UINT style, const std::wstring& message) const;
};

// The program-wide instance, made on first use.
ErrorReporter& TheErrorReporter();

}  // namespace support
