#include "forms/current_directory.h"

#include <windows.h>

#include "win32/failure.h"

namespace forms {

std::wstring CurDir() {
  std::wstring folder;
  // The directory can change between the two calls: ask again until it fits.
  for (DWORD size = MAX_PATH;;) {
    folder.resize(size);
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    if (length == 0) win32::ThrowWin32(GetLastError(), "GetCurrentDirectoryW");
    if (length < size) {
      folder.resize(length);
      return folder;
    }
    size = length;
  }
}

}  // namespace forms
