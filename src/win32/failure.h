#pragma once
#include <windows.h>

#include <stdexcept>
#include <string>

namespace win32 {

// A failed call into the support library or the forms toolkit: the program's
// run-time error. It carries the system error code that caused it.
class Failure : public std::runtime_error {
 public:
  Failure(const std::string& what, DWORD code) : std::runtime_error(what), code_(code) {}
  DWORD Code() const noexcept { return code_; }

 private:
  DWORD code_;
};

[[noreturn]] void ThrowWin32(DWORD code, const char* what);
[[noreturn]] void ThrowHResult(HRESULT hr, const char* what);

// One check per way Windows reports failure. The BOOL and pointer forms read
// the last error at once, before anything else can overwrite it.
inline void ThrowIfFalse(BOOL ok, const char* what) {
  if (!ok) ThrowWin32(GetLastError(), what);
}

template <class T>
T* ThrowIfNull(T* value, const char* what) {
  if (value == nullptr) ThrowWin32(GetLastError(), what);
  return value;
}

inline void ThrowIfFailed(HRESULT hr, const char* what) {
  if (FAILED(hr)) ThrowHResult(hr, what);
}

inline void ThrowIfError(LSTATUS status, const char* what) {
  if (status != ERROR_SUCCESS) ThrowWin32(static_cast<DWORD>(status), what);
}

}  // namespace win32
