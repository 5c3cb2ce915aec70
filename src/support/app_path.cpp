#include "forms/application.h"
#include "support/failure.h"
#include "support/support_functions.h"
#include "support/unique_handle.h"

namespace support {
namespace {

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  ThrowIfError(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
               "RegSetValueExW");
}

}  // namespace

void ksRegisterAppPath() {
  const forms::Application& app = forms::App();
  // The per-user App Paths key needs no administrator rights.
  const std::wstring keyName = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + app.ExeName;
  UniqueHKey key;
  ThrowIfError(RegCreateKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(),
                               nullptr),
               "RegCreateKeyExW");
  SetText(key.Get(), nullptr, app.Path + L"\\" + app.ExeName);
  SetText(key.Get(), L"Path", app.Path);
}

}  // namespace support
