#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace win32 {

// A text value under HKEY_CURRENT_USER\keyPath, or nothing when there is none
// that reads as text: no key, no value, another type, or more than a path's length.
std::optional<std::wstring> ReadUserString(const std::wstring& keyPath, const wchar_t* valueName);

// Stores a text value under HKEY_CURRENT_USER\keyPath, creating the key as
// needed. Returns the registry's own code: ERROR_SUCCESS, or why it refused.
LSTATUS WriteUserString(const std::wstring& keyPath, const wchar_t* valueName, const std::wstring& text);

}  // namespace win32
