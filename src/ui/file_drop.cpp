// Files dropped on the window from the shell: the names the open dialog would give.
#include <windows.h>

#include "ui/frm_main.h"
#include "ui/output_name.h"
#include "win32/file_name.h"
#include "win32/long_path.h"
#include "win32/shortcut.h"

namespace ui {
namespace {

bool IsFolder(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(win32::ExtendedPath(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void frmMain::Form_DropFiles(const std::vector<std::wstring>& fileNames, forms::Control* target) {
  // The first name counts. The remembered folders belong to the dialogs and stay as they are.
  if (fileNames.empty()) return;
  const std::optional<std::wstring> dropped = win32::ShortcutTarget(fileNames.front());
  if (!dropped) return;
  // A dropped file exists: as the ISO name it would be emptied without the
  // question the save dialog asks. So a file is always the NRG file, wherever it lands.
  if (!IsFolder(*dropped)) {
    TakeInputFile(*dropped);
  } else if (target == &txtOutFileName) {
    TakeOutputFolder(*dropped);
  }
}

void frmMain::TakeOutputFolder(const std::wstring& folder) {
  // The ISO file keeps its name and moves there; without one it takes the NRG file's.
  std::wstring name = win32::NamePart(win32::Unquoted(txtOutFileName.Text()));
  if (name.empty() && !txtInFileName.Text().empty()) name = win32::NamePart(DeriveOutputName(txtInFileName.Text()));
  if (name.empty()) return;
  txtOutFileName.SetText(win32::JoinedPath(folder, name));
}

}  // namespace ui
