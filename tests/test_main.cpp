#include <gtest/gtest.h>

#include "app/application_info.h"
#include "app/dpi_awareness.h"
#include "forms/message_box.h"
#include "forms/runtime_error.h"
#include "watchdog.h"

namespace {

int UnexpectedMessageBox(const forms::MessageBoxRequest& request) {
  ADD_FAILURE() << "unexpected message box: " << testing::PrintToString(request.Text);
  return IDCANCEL;
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  tests::InstallWatchdog(std::chrono::seconds(90));
  modMain::DeclareDpiAwareness();
  modMain::DescribeApplication();
  // No test may wait on a real modal box, nor end the test program.
  auto boxes = forms::MessageBoxSeam.Replace(UnexpectedMessageBox);
  auto endProgram = forms::EndProgramSeam.Replace([](int code) { ADD_FAILURE() << "program ended with " << code; });
  return RUN_ALL_TESTS();
}
