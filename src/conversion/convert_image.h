#pragma once
#include <string>

namespace modMain {

// Copies the input from byte 307,200 to its end into the output, then tells
// the user the outcome: success, a size mismatch, a failed file call, or
// nothing when the user chose to stop. Serves the window's events after
// every chunk and asks before stopping when CancelRequested is raised. Names
// in double quotes are taken without them.
void ConvertImage(std::wstring inFileName, std::wstring outFileName);

}  // namespace modMain
