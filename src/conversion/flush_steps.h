#pragma once
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <limits>

namespace modMain {

// How much of the output is written between two flushes. A flush waits for
// everything the system still holds in its cache for the file, with no window
// message served meanwhile; so the step follows the disk: the next flush comes
// after about a quarter of a second's worth of what the last one showed the
// disk to take. The first step is small enough for a slow USB stick. A short
// flush may have met only the disk's own cache and promise more than the disk
// keeps, so the step grows at most fourfold a flush, and never past 64 MiB,
// which a disk that drops to 100 MiB/s still drains in under a second.
class FlushSteps {
 public:
  static constexpr ULONGLONG KiB = 1 << 10, MiB = 1 << 20;
  static constexpr ULONGLONG FirstStep = 512 * KiB;
  static constexpr ULONGLONG SmallestStep = 256 * KiB;
  static constexpr ULONGLONG LargestStep = 64 * MiB;
  static constexpr double Growth = 4;
  static constexpr double TargetSeconds = 0.25;

  // Counts bytes written; true when a flush is due.
  bool Wrote(ULONGLONG bytes) {
    unflushed_ += bytes;
    return unflushed_ >= step_;
  }

  // After a flush: the next step, from the rate this one showed. One that took no measurable time
  // counts as the fastest rate.
  void Flushed(std::chrono::steady_clock::duration took) {
    const double seconds = std::chrono::duration<double>(took).count();
    const double rate = seconds > 0 ? static_cast<double>(unflushed_) / seconds : Fastest;
    const double next = std::min(rate * TargetSeconds, static_cast<double>(step_) * Growth);
    step_ = std::clamp(static_cast<ULONGLONG>(next), SmallestStep, LargestStep);
    unflushed_ = 0;
  }

 private:
  static constexpr double Fastest = std::numeric_limits<double>::infinity();

  ULONGLONG step_ = FirstStep;
  ULONGLONG unflushed_ = 0;
};

}  // namespace modMain
