#pragma once
#include <utility>

namespace win32 {

// A point where tests put a stand-in for a function of the system (message
// boxes, the event pump, file calls). Production code always calls through the
// seam and gets the real function; a test's Override lasts for its scope.
template <class T>
class Seam {
 public:
  explicit Seam(T production) : current_(std::move(production)) {}
  Seam(const Seam&) = delete;
  Seam& operator=(const Seam&) = delete;

  const T& operator*() const noexcept { return current_; }
  const T* operator->() const noexcept { return &current_; }

  class [[nodiscard]] Override {
   public:
    Override(Seam& seam, T replacement) : seam_(seam), previous_(std::exchange(seam.current_, std::move(replacement))) {}
    Override(const Override&) = delete;
    Override& operator=(const Override&) = delete;
    ~Override() { seam_.current_ = std::move(previous_); }

   private:
    Seam& seam_;
    T previous_;
  };

  Override Replace(T replacement) { return Override(*this, std::move(replacement)); }

 private:
  T current_;
};

}  // namespace win32
