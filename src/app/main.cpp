#include "app/main.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "support/support_functions.h"
#include "ui/frm_main.h"

namespace modMain {

void Main() {
  support::ksRegisterAppPath();
  InitCommonControls();
  // The toolkit has no hidden application window to give the icon to: the
  // main window gets it when it loads.
  if (!ui::frmMain::DefaultInstance) ui::frmMain::DefaultInstance = std::make_unique<ui::frmMain>();
  ui::frmMain::DefaultInstance->Show();
}

}  // namespace modMain
