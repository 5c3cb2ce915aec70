#include "app/application_info.h"
#include "app/dpi_awareness.h"
#include "forms/message_box.h"
#include "forms/runtime_error.h"
#include "harness.h"
#include "win32/system_library.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // A crash ends the test program, and a program it started, at once: no Windows Error Reporting, whose dialog
  // would hold it until the test's time is up. Inherited by the processes it starts.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  // Where the program records itself, and its settings: put back as they were after the run, and first as a
  // killed run found them.
  tests::KeptKey::PutBackLeftovers();
  const tests::KeptKey appPath{L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\PELMATIC.EXE"};
  const tests::KeptKey settings{L"Software\\Kelvane"};
  // Start-up as the program's entry makes it.
  win32::LimitDllSearchToSystem32();
  modMain::DeclareDpiAwareness();
  modMain::DescribeApplication();
  // No test may wait on a real modal box, nor end the test program; ctest ends one that hangs.
  auto boxes = forms::MessageBoxSeam.Replace([](const forms::MessageBoxRequest& request) {
    ADD_FAILURE() << "unexpected message box: " << testing::PrintToString(request.Text);
    return IDCANCEL;
  });
  auto endProgram = forms::EndProgramSeam.Replace([](int code) { ADD_FAILURE() << "program ended with " << code; });
  return RUN_ALL_TESTS();
}
