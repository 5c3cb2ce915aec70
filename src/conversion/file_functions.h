#pragma once
#include <windows.h>

#include <functional>

#include "support/seam.h"

namespace modMain {

// The file calls of the conversion, so that tests can make any of them fail.
// A stand-in reports failure the way Windows does: FALSE or
// INVALID_HANDLE_VALUE, with SetLastError.
struct FileFunctions {
  std::function<HANDLE(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)> CreateFile = ::CreateFileW;
  std::function<DWORD(HANDLE, LONG, PLONG, DWORD)> SetFilePointer = ::SetFilePointer;
  std::function<BOOL(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)> ReadFile = ::ReadFile;
  std::function<BOOL(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)> WriteFile = ::WriteFile;
  std::function<BOOL(HANDLE)> CloseHandle = ::CloseHandle;
};

extern support::Seam<FileFunctions> FileFunctionsSeam;

}  // namespace modMain
