// Where the start-up time goes: the steps the program takes from process
// start to its first painted window, timed one by one in a cold process.
// One line of figures per run; scripts/startup-time.sh runs it several times.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>

#include "app/application_info.h"
#include "app/dpi_awareness.h"
#include "support/support_functions.h"
#include "ui/frm_main.h"
#include "win32/system_library.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds from the creation of this process to now: the loader, its DLLs and the runtime.
double SinceProcessCreation() {
  FILETIME created, exited, kernel, user, now;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  GetSystemTimePreciseAsFileTime(&now);
  const auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const double toMain = SinceProcessCreation();
  LARGE_INTEGER marks[8];
  QueryPerformanceCounter(&marks[0]);
  win32::LimitDllSearchToSystem32();
  modMain::DeclareDpiAwareness();
  modMain::DescribeApplication();
  QueryPerformanceCounter(&marks[1]);
  support::ksRegisterAppPath();
  QueryPerformanceCounter(&marks[2]);
  // The first call that needs the desktop connects to the display: a cost any window program pays.
  GetDC(nullptr);
  QueryPerformanceCounter(&marks[7]);
  const win32::SystemLibrary commonControls(L"comctl32.dll");
  commonControls.Function<decltype(InitCommonControls)>("InitCommonControls")();
  QueryPerformanceCounter(&marks[3]);
  auto form = std::make_unique<ui::frmMain>();
  QueryPerformanceCounter(&marks[4]);
  form->Handle();  // loads it: the window, its controls, centring and icons
  QueryPerformanceCounter(&marks[5]);
  form->Show();  // visible and painted
  QueryPerformanceCounter(&marks[6]);
  std::printf(
      "to main %.1f | set-up %.1f | app path %.1f | display %.1f | common controls %.1f | form %.1f | load %.1f | "
      "show %.1f\n",
      toMain, Milliseconds(marks[0], marks[1]), Milliseconds(marks[1], marks[2]), Milliseconds(marks[2], marks[7]),
      Milliseconds(marks[7], marks[3]), Milliseconds(marks[3], marks[4]), Milliseconds(marks[4], marks[5]),
              Milliseconds(marks[5], marks[6]));
  return 0;
}
