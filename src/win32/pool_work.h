#pragma once
#include <windows.h>

#include <functional>

namespace win32 {

// Work run once on a thread of the process's thread pool, submitted as this owner is made; the owner waits for
// it to end before it goes, on every way out. A pool thread is there at once: starting a thread of its own
// for each piece of work costs about a millisecond.
class PoolWork {
 public:
  explicit PoolWork(std::function<void()> work);
  ~PoolWork();
  PoolWork(const PoolWork&) = delete;
  PoolWork& operator=(const PoolWork&) = delete;

 private:
  static void CALLBACK Run(PTP_CALLBACK_INSTANCE /*instance*/, void* self, PTP_WORK /*work*/);

  std::function<void()> work_;
  PTP_WORK pooled_;
};

}  // namespace win32
