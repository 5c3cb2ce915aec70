#include "support/settings_store.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "support/failure.h"
#include "support/unique_handle.h"

namespace support {
namespace {

// Room for the longest path Windows knows and its terminator; anything
// longer is not a value this program wrote.
constexpr DWORD MaxValueBytes = 32768 * sizeof(wchar_t);

std::wstring SectionKey(const forms::Application& app, const std::wstring& section) {
  return app.SettingsRoot + L"\\" + section;
}

}  // namespace

Variant SettingsStore::ReadValue(const std::wstring& section, const std::wstring& key, long /*reserved*/,
                                 const forms::Application& app, const Variant& defaultValue, Flag /*reservedFlag*/,
                                 Flag& status) const {
  status = False;
  // Whatever cannot be read is as good as nothing stored: the caller has a default for that.
  UniqueHKey sectionKey;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(app, section).c_str(), 0, KEY_QUERY_VALUE, sectionKey.Put()) !=
      ERROR_SUCCESS) {
    return defaultValue;
  }
  std::vector<wchar_t> buffer(MaxValueBytes / sizeof(wchar_t));
  DWORD type = REG_NONE;
  DWORD size = MaxValueBytes;
  if (RegQueryValueExW(sectionKey.Get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return defaultValue;
  }
  // The stored text need not end with a terminator, and ends at the first one it holds.
  std::wstring text(buffer.data(), size / sizeof(wchar_t));
  if (const auto end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
  status = True;
  return Variant(std::move(text));
}

void SettingsStore::WriteValue(const std::wstring& section, const std::wstring& key, long /*reserved*/,
                               const Variant& value, const forms::Application& app, Flag /*reservedFlag*/,
                               Flag& status) const {
  UniqueHKey sectionKey;
  ThrowIfError(RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                               nullptr, sectionKey.Put(), nullptr),
               "RegCreateKeyExW");
  const std::wstring text = value.ToText();
  ThrowIfError(RegSetValueExW(sectionKey.Get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
               "RegSetValueExW");
  status = True;
}

}  // namespace support
