#pragma once
#include <windows.h>

#include <algorithm>
#include <chrono>

namespace modMain {

// How much of the output is written between two flushes. A flush waits for
// everything the system still holds in its cache for the file, with no window
// message served meanwhile; so the step follows the disk: the next flush comes
// after about a quarter of a second's worth of what the last one showed the
// disk to take. The first step is small enough for a slow USB stick.
class FlushSteps {
 public:
  static constexpr ULONGLONG MiB = 1 << 20;
  static constexpr ULONGLONG FirstStep = 16 * MiB;
  static constexpr ULONGLONG SmallestStep = MiB;
  static constexpr ULONGLONG LargestStep = 1024 * MiB;

  // Counts bytes written; true when a flush is due.
  bool Wrote(ULONGLONG bytes) {
    unflushed_ += bytes;
    return unflushed_ >= step_;
  }

  // After a flush: the next step, from how long this one took.
  void Flushed(std::chrono::steady_clock::duration took) {
    if (took > std::chrono::milliseconds(500)) step_ = std::max(step_ / 2, SmallestStep);
    if (took < std::chrono::milliseconds(100)) step_ = std::min(step_ * 2, LargestStep);
    unflushed_ = 0;
  }

 private:
  ULONGLONG step_ = FirstStep;
  ULONGLONG unflushed_ = 0;
};

}  // namespace modMain
