// Time from process start to a visible top-level window, for any program.
// Usage: startup_bench.exe PROGRAM [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD processId;
  bool found = false;
};

bool HasVisibleWindow(DWORD processId) {
  Search search{processId};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s.processId && IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr) {
          s.found = true;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Milliseconds until the program shows a window, or a negative number when it never does.
double TimeToWindow(const std::wstring& program) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + program + L"\"";
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return -1;
  }
  double elapsed = -1;
  for (int i = 0; i < 20000; ++i) {
    if (HasVisibleWindow(process.dwProcessId)) {
      QueryPerformanceCounter(&now);
      elapsed = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
      break;
    }
    Sleep(1);
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fwprintf(stderr, L"usage: startup_bench PROGRAM [RUNS]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 10;
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double ms = TimeToWindow(argv[1]);
    if (ms < 0) {
      std::fwprintf(stderr, L"%ls showed no window\n", argv[1]);
      return 1;
    }
    times.push_back(ms);
  }
  std::sort(times.begin(), times.end());
  std::wprintf(L"%ls: %d runs, best %.1f ms, median %.1f ms, worst %.1f ms\n", argv[1], runs, times.front(),
               times[times.size() / 2], times.back());
  return 0;
}
