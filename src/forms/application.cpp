#include "forms/application.h"

#include <windows.h>

#include <string>

namespace forms {
namespace {

Application Describe() {
  Application app;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const auto slash = path.find_last_of(L"\\/");
  app.Path = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
  app.ExeName = slash == std::wstring::npos ? path : path.substr(slash + 1);
  app.Title = app.ExeName;
  return app;
}

}  // namespace

Application& App() {
  static Application app = Describe();
  return app;
}

}  // namespace forms
