#include "app/main.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "support/support_functions.h"
#include "ui/frm_main.h"
#include "win32/system_library.h"

namespace modMain {

void Main() {
  support::ksRegisterAppPath();
  // Loaded here rather than imported, so that only System32's copy can load; the
  // classes it registers live in it, so it stays for the rest of the run.
  static const win32::SystemLibrary commonControls(L"comctl32.dll");
  commonControls.Function<decltype(InitCommonControls)>("InitCommonControls")();
  // The toolkit has no hidden application window to give the icon to: the
  // main window gets it when it loads.
  if (!ui::frmMain::DefaultInstance) ui::frmMain::DefaultInstance = std::make_unique<ui::frmMain>();
  ui::frmMain::DefaultInstance->Show();
}

}  // namespace modMain
