#include "settings_key.h"

#include <sddl.h>

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
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Kelvane\\TessalineTests");
}

std::optional<std::wstring> TestSettingsRoot::StoredText(const std::wstring& key) const {
  wchar_t text[1024];
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, Section().c_str(), key.c_str(), RRF_RT_REG_SZ, nullptr, text, &size) != 0) {
    return std::nullopt;
  }
  return text;
}

ReadOnlyKey::ReadOnlyKey(std::wstring path) : path_(std::move(path)) {
  win32::UniqueHKey key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr)) {
    throw std::runtime_error("cannot create the test's key");
  }
  if (!SetAccess(L"D:P(A;;KR;;;WD)")) throw std::runtime_error("cannot make the test's key read-only");
}

ReadOnlyKey::~ReadOnlyKey() {
  SetAccess(L"D:P(A;;KA;;;WD)");
  RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
}

bool ReadOnlyKey::SetAccess(const wchar_t* sddl) const {
  win32::UniqueHKey key;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  // The owner may always change the access list, also of a key it can no longer write.
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, WRITE_DAC, key.Put()) != 0 ||
      !ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
    return false;
  }
  const LSTATUS set = RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, descriptor);
  LocalFree(descriptor);
  return set == ERROR_SUCCESS;
}

}  // namespace tests
