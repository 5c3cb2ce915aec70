#include <windows.h>

#include "app/application_info.h"
#include "app/dpi_awareness.h"
#include "app/main.h"
#include "forms/message_loop.h"
#include "forms/runtime_error.h"
#include "win32/system_library.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/) {
  // Before anything can load a DLL: the program is run from wherever it was
  // saved, and a DLL saved next to it must never be taken for the system's.
  forms::Dispatch(win32::LimitDllSearchToSystem32);
  modMain::DeclareDpiAwareness();
  modMain::DescribeApplication();
  return forms::Run(modMain::Main);
}
