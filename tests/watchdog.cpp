#include "watchdog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace tests {
namespace {

class Watchdog : public testing::EmptyTestEventListener {
 public:
  explicit Watchdog(std::chrono::seconds limit) : limit_(limit) {}

  void OnTestStart(const testing::TestInfo& info) override {
    name_ = std::string(info.test_suite_name()) + "." + info.name();
    CreateTimerQueueTimer(&timer_, nullptr, &Expire, this, static_cast<DWORD>(limit_.count() * 1000), 0,
                          WT_EXECUTEONLYONCE);
  }

  // Gone, with any callback under way, before the next test starts.
  void OnTestEnd(const testing::TestInfo&) override { DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE); }

 private:
  static void CALLBACK Expire(void* self, BOOLEAN) {
    const auto& watchdog = *static_cast<Watchdog*>(self);
    std::fprintf(stderr, "\n[  TIMEOUT ] %s ran longer than %lld s\n", watchdog.name_.c_str(),
                 static_cast<long long>(watchdog.limit_.count()));
    std::fflush(stderr);
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
  }

  const std::chrono::seconds limit_;
  std::string name_;
  HANDLE timer_ = nullptr;
};

}  // namespace

void InstallWatchdog(std::chrono::seconds limitPerTest) {
  testing::UnitTest::GetInstance()->listeners().Append(new Watchdog(limitPerTest));
}

}  // namespace tests
