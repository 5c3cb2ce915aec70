#pragma once
#include <string>

namespace modMain {

// Runs one conversion under the busy flag and the hourglass pointer.
void RunConversion(std::wstring inFileName, std::wstring outFileName);

}  // namespace modMain
