#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "win32/unique_handle.h"

namespace tests {

// The built PELMATIC.EXE, beside the test program.
std::wstring BuiltProgram();

// A program started as its own process in the given folder, ended at the latest
// when this owner goes.
class ProgramProcess {
 public:
  ProgramProcess(const std::wstring& program, const std::wstring& folder);
  ~ProgramProcess();

  // Its visible top-level window of this class, title and owner (null: any), once there is one; null after 15 s.
  HWND WaitForWindow(const wchar_t* className, const wchar_t* title, HWND owner = nullptr) const;
  // Its exit code once it has ended; nothing while it still runs after 15 s.
  std::optional<DWORD> WaitForExit() const;
  HANDLE Handle() const noexcept { return process_.Get(); }

 private:
  DWORD id_ = 0;
  win32::UniqueHandle<win32::NullEmptyTraits<HANDLE, ::CloseHandle>> process_;
};

}  // namespace tests
