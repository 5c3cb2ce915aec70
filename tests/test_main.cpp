#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/application_info.h"
#include "app/dpi_awareness.h"
#include "forms/message_box.h"
#include "forms/runtime_error.h"

namespace {

// Ends the test program, naming the test, when one test runs longer than 90 s.
class Watchdog : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& info) override {
    name_ = std::string(info.test_suite_name()) + "." + info.name();
    CreateTimerQueueTimer(&timer_, nullptr, &Expire, this, 90000, 0, WT_EXECUTEONLYONCE);
  }
  // Gone, with any callback under way, before the next test starts.
  void OnTestEnd(const testing::TestInfo&) override { DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE); }
  static void CALLBACK Expire(void* self, BOOLEAN) {
    std::fprintf(stderr, "\n[  TIMEOUT ] %s ran longer than 90 s\n", static_cast<Watchdog*>(self)->name_.c_str());
    std::fflush(nullptr);
    TerminateProcess(GetCurrentProcess(), 3);
  }
  std::string name_;
  HANDLE timer_ = nullptr;
};

int UnexpectedMessageBox(const forms::MessageBoxRequest& request) {
  ADD_FAILURE() << "unexpected message box: " << testing::PrintToString(request.Text);
  return IDCANCEL;
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new Watchdog);
  modMain::DeclareDpiAwareness();
  modMain::DescribeApplication();
  // No test may wait on a real modal box, nor end the test program.
  auto boxes = forms::MessageBoxSeam.Replace(UnexpectedMessageBox);
  auto endProgram = forms::EndProgramSeam.Replace([](int code) { ADD_FAILURE() << "program ended with " << code; });
  return RUN_ALL_TESTS();
}
