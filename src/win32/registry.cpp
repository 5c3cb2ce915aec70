#include "win32/registry.h"

#include <vector>

#include "win32/unique_handle.h"

namespace win32 {
namespace {

// Room for the longest path Windows knows and its terminator.
constexpr DWORD MaxValueBytes = 32768 * sizeof(wchar_t);

}  // namespace

std::optional<std::wstring> ReadUserString(const std::wstring& keyPath, const wchar_t* valueName) {
  UniqueHKey key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) return {};
  std::vector<wchar_t> buffer(MaxValueBytes / sizeof(wchar_t));
  DWORD type = REG_NONE;
  DWORD size = MaxValueBytes;
  if (RegQueryValueExW(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ) {
    return {};
  }
  // The stored text need not end with a terminator, and ends at the first one it holds.
  std::wstring text(buffer.data(), size / sizeof(wchar_t));
  if (const auto end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
  return text;
}

LSTATUS WriteUserString(const std::wstring& keyPath, const wchar_t* valueName, const std::wstring& text) {
  UniqueHKey key;
  const LSTATUS created = RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                          key.Put(), nullptr);
  if (created != ERROR_SUCCESS) return created;
  return RegSetValueExW(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace win32
