#pragma once
#include <windows.h>

#include <functional>

#include "conversion/file_calls.h"

namespace modMain {

// What the copy leaves to its caller, which serves the window: the copy knows none.
struct Turns {
  // Serves the window's pending events after every chunk, the last, empty read included. While a flush runs it
  // is given the flush's end, and first sleeps until an event comes or the flush has ended.
  std::function<void(HANDLE flushEnded)> Serve;
  // Asked after each serving: false stops the copy. During a flush the stop waits for the flush.
  std::function<bool()> KeepGoing;
};

// What one flush came to: its failure's code, and whether a stop was confirmed meanwhile.
struct FlushEnding {
  DWORD ErrorCode = ERROR_SUCCESS;
  bool Stopped = false;
};

// Flushes the file on a thread of the thread pool, which calls FlushFileBuffers and nothing else, while the
// window is served. Returns only once the flush has returned, also when a handler raises a run-time error
// meanwhile: until then the thread uses the handle.
FlushEnding FlushServing(const FileCalls& calls, HANDLE file, const Turns& turns);

}  // namespace modMain
