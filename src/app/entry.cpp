#include <windows.h>

#include "app/application_info.h"
#include "app/dpi_awareness.h"
#include "app/main.h"
#include "forms/message_loop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  modMain::DeclareDpiAwareness();
  modMain::DescribeApplication();
  return forms::Run(modMain::Main);
}
