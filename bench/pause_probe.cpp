// How long the program's window leaves a message waiting while it converts, seen from outside: starts the
// program, types both names, clicks «Конвертировать», then sends the window a message every 50 ms until a box
// shows, prints the longest wait, and answers each box that follows.
// Usage: pause_probe.exe PROGRAM INPUT OUTPUT
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Seconds since 1970, to line the probe's moments up with the disk's log.
double UnixNow() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  const ULONGLONG ticks = (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
  return static_cast<double>(ticks - 116444736000000000ULL) / 1e7;
}

void PrintUtf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  std::fputs(bytes.c_str(), stdout);
}

// The process's visible top-level window of this class, title and owner (null: any).
HWND WindowOf(DWORD process, const wchar_t* className, const wchar_t* title, HWND owner) {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, title)) != nullptr;) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    if (id == process && IsWindowVisible(window) && (!owner || GetWindow(window, GW_OWNER) == owner)) return window;
  }
  return nullptr;
}

// The same, once there is one; null after 15 s.
HWND WaitForWindowOf(DWORD process, const wchar_t* className, const wchar_t* title, HWND owner) {
  HWND window = nullptr;
  for (int tries = 0; tries < 1500 && !(window = WindowOf(process, className, title, owner)); ++tries) Sleep(10);
  return window;
}

std::wstring TextOf(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &length);
  return text;
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
  if (argc != 4) {
    std::fputs("usage: pause_probe.exe PROGRAM INPUT OUTPUT\n", stderr);
    return 2;
  }
  std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
    std::fprintf(stderr, "pause_probe: CreateProcessW failed, error %lu\n", GetLastError());
    return 1;
  }
  const DWORD process = started.dwProcessId;
  const HWND window = WaitForWindowOf(process, L"TessalineForm", L"Tessaline", nullptr);
  const HWND inputBox = window ? FindWindowExW(window, nullptr, L"Edit", nullptr) : nullptr;
  const HWND outputBox = inputBox ? FindWindowExW(window, inputBox, L"Edit", nullptr) : nullptr;
  const HWND start = window ? FindWindowExW(window, nullptr, L"Button", L"Конвертировать") : nullptr;
  if (!outputBox || !start) {
    std::fputs("pause_probe: no window with two text boxes and «Конвертировать»\n", stderr);
    TerminateProcess(started.hProcess, 1);
    return 1;
  }
  SendMessageW(inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
  SendMessageW(outputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
  for (int tries = 0; tries < 500 && !IsWindowEnabled(start); ++tries) Sleep(10);
  Sleep(300);  // the window settled, so that its start-up is not counted

  const Clock::time_point clicked = Clock::now();
  std::printf("clicked at %.3f\n", UnixNow());
  PostMessageW(start, BM_CLICK, 0, 0);
  double longest = 0, longestAt = 0, total = 0;
  int messages = 0, overQuarter = 0, overOne = 0, overFive = 0;
  HWND box = nullptr;
  while (!(box = WindowOf(process, L"#32770", nullptr, window))) {
    const Clock::time_point sent = Clock::now();
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &answer)) {
      std::fprintf(stderr, "pause_probe: no answer in 600 s, error %lu\n", GetLastError());
      break;
    }
    const double wait = Seconds(Clock::now() - sent);
    ++messages, total += wait;
    overQuarter += wait > 0.25, overOne += wait > 1, overFive += wait > 5;
    if (wait > 1) std::printf("wait %.3f s from %.3f s\n", wait, Seconds(sent - clicked));
    if (wait > longest) longest = wait, longestAt = Seconds(sent - clicked);
    Sleep(50);
  }
  const double boxAfter = Seconds(Clock::now() - clicked);
  std::printf("%d messages, longest wait %.3f s (from %.3f s), mean %.1f ms; waits over 0.25 s: %d, over 1 s: %d, "
              "over 5 s: %d\n",
              messages, longest, longestAt, messages ? total / messages * 1000 : 0.0, overQuarter, overOne, overFive);
  std::printf("first box %.3f s after the click, at %.3f\n", boxAfter, UnixNow());
  while (box) {
    PrintUtf8(L"box: " + TextOf(GetDlgItem(box, 0xFFFF)) + L"\n");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    for (int tries = 0; tries < 300 && IsWindow(box); ++tries) Sleep(10);
    box = nullptr;
    for (int tries = 0; tries < 100 && !(box = WindowOf(process, L"#32770", nullptr, window)); ++tries) Sleep(10);
  }
  std::fflush(stdout);
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(started.hProcess, 15000) != WAIT_OBJECT_0) TerminateProcess(started.hProcess, 1);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return 0;
}
