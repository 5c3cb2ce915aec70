#include "program_process.h"

#include <chrono>
#include <stdexcept>
#include <thread>

namespace tests {

using namespace std::chrono_literals;

std::wstring BuiltProgram() {
  wchar_t self[MAX_PATH];
  const std::wstring selfPath(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  return selfPath.substr(0, selfPath.find_last_of(L"\\/") + 1) + L"PELMATIC.EXE";
}

ProgramProcess::ProgramProcess(const std::wstring& program, const std::wstring& folder) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &started)) {
    throw std::runtime_error("cannot start the program: error " + std::to_string(GetLastError()));
  }
  CloseHandle(started.hThread);
  id_ = started.dwProcessId;
  process_.Reset(started.hProcess);
}

ProgramProcess::~ProgramProcess() {
  // Still running when a test left early; gone in any case before its folder is removed.
  TerminateProcess(process_.Get(), 9);
  WaitForSingleObject(process_.Get(), INFINITE);
}

HWND ProgramProcess::WaitForWindow(const wchar_t* className, const wchar_t* title, HWND owner) const {
  for (const auto deadline = std::chrono::steady_clock::now() + 15s; std::chrono::steady_clock::now() < deadline;
       std::this_thread::sleep_for(20ms)) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, title)) != nullptr;) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      if (process == id_ && IsWindowVisible(window) && (!owner || GetWindow(window, GW_OWNER) == owner)) return window;
    }
  }
  return nullptr;
}

std::optional<DWORD> ProgramProcess::WaitForExit() const {
  DWORD exitCode = 0;
  if (WaitForSingleObject(process_.Get(), 15000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_.Get(), &exitCode))
    return std::nullopt;
  return exitCode;
}

}  // namespace tests
