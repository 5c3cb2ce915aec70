#include "forms/application.h"

#include "win32/file_name.h"
#include "win32/module_path.h"

namespace forms {
namespace {

Application Describe() {
  Application app;
  const std::wstring path = win32::ExecutablePath();
  const std::size_t nameStart = win32::NameStart(path);
  app.Path = path.substr(0, nameStart > 0 ? nameStart - 1 : 0);
  app.ExeName = path.substr(nameStart);
  app.Title = app.ExeName;
  return app;
}

}  // namespace

Application& App() {
  static Application app = Describe();
  return app;
}

}  // namespace forms
