#include "settings_key.h"

#include <stdexcept>

#include "forms/application.h"

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
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, (root_ + L"\\" + section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

std::optional<std::wstring> TestSettingsRoot::StoredText(const std::wstring& section, const std::wstring& key) const {
  DWORD size = 0;
  const std::wstring sectionKey = root_ + L"\\" + section;
  if (RegGetValueW(HKEY_CURRENT_USER, sectionKey.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring text(size / sizeof(wchar_t), L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, sectionKey.c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(size / sizeof(wchar_t));
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

void TestSettingsRoot::StoreRaw(const std::wstring& section, const std::wstring& key, DWORD type, const void* data,
                                DWORD size) const {
  HKEY sectionKey = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, (root_ + L"\\" + section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &sectionKey, nullptr) != ERROR_SUCCESS) {
    throw std::runtime_error("cannot create the test's settings key");
  }
  const LSTATUS status = RegSetValueExW(sectionKey, key.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(sectionKey);
  if (status != ERROR_SUCCESS) throw std::runtime_error("cannot store the test's value");
}

void TestSettingsRoot::StoreText(const std::wstring& section, const std::wstring& key, const std::wstring& text) const {
  StoreRaw(section, key, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace tests
