#include "win32/module_path.h"

#include <windows.h>

#include "win32/failure.h"

namespace win32 {

std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) ThrowWin32(GetLastError(), "GetModuleFileNameW");
    // A full buffer may hold a cut path: ask again with more room.
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace win32
