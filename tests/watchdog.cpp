#include "watchdog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

namespace tests {
namespace {

class Watchdog : public testing::EmptyTestEventListener {
 public:
  explicit Watchdog(std::chrono::seconds limit) : limit_(limit) {
    std::thread([this] { Watch(); }).detach();
  }

  void OnTestStart(const testing::TestInfo& info) override {
    std::lock_guard lock(mutex_);
    name_ = std::string(info.test_suite_name()) + "." + info.name();
    deadline_ = std::chrono::steady_clock::now() + limit_;
    running_ = true;
  }

  void OnTestEnd(const testing::TestInfo&) override {
    std::lock_guard lock(mutex_);
    running_ = false;
  }

 private:
  void Watch() {
    for (;;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      std::lock_guard lock(mutex_);
      if (running_ && std::chrono::steady_clock::now() > deadline_) {
        std::fprintf(stderr, "\n[  TIMEOUT ] %s ran longer than %lld s\n", name_.c_str(),
                     static_cast<long long>(limit_.count()));
        std::fflush(stderr);
        std::fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 3);
      }
    }
  }

  const std::chrono::seconds limit_;
  std::mutex mutex_;
  std::string name_;
  std::chrono::steady_clock::time_point deadline_;
  bool running_ = false;
};

}  // namespace

void InstallWatchdog(std::chrono::seconds limitPerTest) {
  testing::UnitTest::GetInstance()->listeners().Append(new Watchdog(limitPerTest));
}

}  // namespace tests
