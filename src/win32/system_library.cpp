#include "win32/system_library.h"

#include "win32/failure.h"

namespace win32 {

void LimitDllSearchToSystem32() {
  ThrowIfFalse(SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32), "SetDefaultDllDirectories");
}

SystemLibrary::SystemLibrary(const wchar_t* fileName)
    : module_(ThrowIfNull(LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "LoadLibraryExW")) {}

FARPROC SystemLibrary::Export(const char* name) const {
  const FARPROC address = GetProcAddress(module_.Get(), name);
  if (address == nullptr) ThrowWin32(GetLastError(), "GetProcAddress");
  return address;
}

}  // namespace win32
