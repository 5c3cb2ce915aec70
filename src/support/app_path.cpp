#include "forms/application.h"
#include "support/support_functions.h"
#include "win32/registry.h"

namespace support {

void ksRegisterAppPath() {
  const forms::Application& app = forms::App();
  // The per-user App Paths key needs no administrator rights. Being found by
  // name is a convenience: where the registry refuses, the program runs all the same.
  const std::wstring keyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + app.ExeName;
  if (win32::WriteUserString(keyPath, nullptr, app.Path + L"\\" + app.ExeName) == ERROR_SUCCESS) {
    win32::WriteUserString(keyPath, L"Path", app.Path);
  }
}

}  // namespace support
