// Files dropped on the window from the shell: the names the open dialog would give.
#include <windows.h>

#include "ui/frm_main.h"
#include "win32/long_path.h"

namespace ui {
namespace {

bool IsFolder(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(win32::ExtendedPath(name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

void frmMain::Form_DropFiles(const std::vector<std::wstring>& fileNames, forms::Control* target) {
  // The first file counts; a folder is nothing to convert. The remembered
  // folders belong to the dialogs and stay as they are.
  if (fileNames.empty() || IsFolder(fileNames.front())) return;
  if (target == &txtOutFileName) {
    txtOutFileName.SetText(fileNames.front());
  } else {
    TakeInputFile(fileNames.front());
  }
}

}  // namespace ui
