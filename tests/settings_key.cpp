#include "settings_key.h"

#include <stdexcept>

#include "forms/application.h"
#include "win32/unique_handle.h"

namespace tests {

TestSettingsRoot::TestSettingsRoot() : previous_(forms::App().SettingsRoot) {
  static int counter = 0;
  root_ = L"Software\\Kelvane\\TessalineTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter);
  forms::App().SettingsRoot = root_;
}

TestSettingsRoot::~TestSettingsRoot() {
  forms::App().SettingsRoot = previous_;
  RegDeleteTreeW(HKEY_CURRENT_USER, root_.c_str());
  // The parent goes too when no other test program left a key there.
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Kelvane\\TessalineTests");
}

bool TestSettingsRoot::SectionExists(const std::wstring& section) const {
  win32::UniqueHKey key;
  return RegOpenKeyExW(HKEY_CURRENT_USER, (root_ + L"\\" + section).c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

std::optional<std::wstring> TestSettingsRoot::StoredText(const std::wstring& section, const std::wstring& key) const {
  wchar_t text[1024];
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, (root_ + L"\\" + section).c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, text,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return text;
}

void TestSettingsRoot::StoreRaw(const std::wstring& section, const std::wstring& key, DWORD type, const void* data,
                                DWORD size) const {
  if (RegSetKeyValueW(HKEY_CURRENT_USER, (root_ + L"\\" + section).c_str(), key.c_str(), type, data, size) !=
      ERROR_SUCCESS) {
    throw std::runtime_error("cannot store the test's value");
  }
}

}  // namespace tests
