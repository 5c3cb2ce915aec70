#pragma once
#include <chrono>

namespace tests {

// Ends the test program when one test runs longer than the limit, naming the
// test, so that a hung test fails the run instead of stalling it.
void InstallWatchdog(std::chrono::seconds limitPerTest);

}  // namespace tests
