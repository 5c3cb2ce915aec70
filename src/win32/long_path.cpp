#include "win32/long_path.h"

#include <windows.h>

namespace win32 {

std::wstring FullPath(const std::wstring& name) {
  std::wstring full(MAX_PATH, L'\0');
  // The current directory can change between the two calls: ask until it fits.
  for (;;) {
    const DWORD length = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    full.resize(length);
  }
}

std::wstring ExtendedPath(const std::wstring& name) {
  // Already extended, or a device: the system takes these literally.
  if (name.empty() || name.starts_with(L"\\\\?\\") || name.starts_with(L"\\\\.\\")) return name;
  const std::wstring full = FullPath(name);
  // What the system cannot resolve it reports itself, with its own code.
  if (full.size() < MAX_PATH) return name;
  // The extended form is taken literally: it must be full and use backslashes only, as the resolved path is.
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

}  // namespace win32
