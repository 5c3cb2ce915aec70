#pragma once
#include <string>

namespace forms {

// The run-time's description of the running program (the application object).
struct Application {
  std::wstring Title;         // default caption of message boxes
  std::wstring SettingsRoot;  // registry key under HKEY_CURRENT_USER for this program's settings
  std::wstring Path;          // folder of the executable, without a trailing separator
  std::wstring ExeName;       // file name of the executable, without folder
};

Application& App();

}  // namespace forms
