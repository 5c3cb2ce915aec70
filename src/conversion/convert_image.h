#pragma once
#include <string>

#include "conversion/file_calls.h"

namespace modMain {

// Copies the input from byte 307,200 to its end into the output, then tells
// the user the outcome: success, a size mismatch, an ISO file that Windows
// could not mount, a failed file call, or nothing when the user chose to stop.
// Serves the window's events after every chunk and asks before stopping when
// CancelRequested is raised. Names in double quotes are taken without them,
// and names of any length work.
void ConvertImage(std::wstring inFileName, std::wstring outFileName, const FileCalls& calls = FileCalls());

}  // namespace modMain
