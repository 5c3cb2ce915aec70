#include "conversion/flush_thread.h"

#include "win32/failure.h"
#include "win32/pool_work.h"
#include "win32/unique_handle.h"

namespace modMain {

FlushEnding FlushServing(const FileCalls& calls, HANDLE file, const Turns& turns) {
  // Declared before the thread, which sets it last.
  const win32::UniqueHandle<win32::NullEmptyTraits<HANDLE, ::CloseHandle>> ended(
      win32::ThrowIfNull(CreateEventW(nullptr, TRUE, FALSE, nullptr), "CreateEventW"));
  FlushEnding ending;
  {
    // Waited for on every way out: a flush takes no deadline, so the window's thread must not wait in it.
    const win32::PoolWork flush([&] {
      if (!calls.FlushFileBuffers(file)) ending.ErrorCode = FailureCode();
      SetEvent(ended.Get());
    });
    do {
      turns.Serve(ended.Get());
      ending.Stopped = ending.Stopped || !turns.KeepGoing();
    } while (WaitForSingleObject(ended.Get(), 0) == WAIT_TIMEOUT);
  }
  return ending;
}

}  // namespace modMain
