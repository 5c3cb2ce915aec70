#include "app/application_info.h"

#include "forms/application.h"

namespace modMain {

void DescribeApplication() {
  forms::Application& app = forms::App();
  app.Title = L"Kelvane - Tessaline";
  app.SettingsRoot = L"Software\\Kelvane\\Tessaline";
}

}  // namespace modMain
