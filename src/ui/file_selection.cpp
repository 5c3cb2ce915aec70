// The browse buttons: a file dialog for each name, opening where that side's last file lay.
#include <functional>
#include <string>

#include "forms/application.h"
#include "forms/current_directory.h"
#include "support/file_dialog.h"
#include "support/settings_store.h"
#include "support/support_functions.h"
#include "ui/frm_main.h"
#include "ui/output_name.h"
#include "win32/file_name.h"

namespace ui {
namespace {

constexpr wchar_t PathsSection[] = L"Paths";

// What tells the two browse buttons apart.
struct Side {
  const wchar_t* Filter;
  const wchar_t* FolderKey;
  bool (support::FileDialog::*Show)();
};

const Side InputSide{L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*", L"Last Open NRG Path", &support::FileDialog::ShowOpen};
const Side OutputSide{L"Образы ISO|*.ISO;*.CMD|Все файлы|*.*", L"Last Save ISO Path", &support::FileDialog::ShowSave};

// One browse click: the dialog proposes the box's name and opens in the side's
// remembered folder; a confirmed choice is remembered first and then handed on.
void Browse(const Side& side, forms::Form& form, const forms::TextBox& nameBox,
            const std::function<void(const std::wstring& chosen)>& confirmed) {
  support::FileDialog dialog;
  dialog.SetFilter(side.Filter);
  dialog.SetOwnerWindow(form.Handle());

  const forms::Application& app = forms::App();
  dialog.SetInitialFolder(support::SettingsStore::ReadValue(PathsSection, side.FolderKey, app, forms::CurDir()));
  dialog.SetFileName(win32::Unquoted(nameBox.Text()));
  if (!(dialog.*side.Show)()) return;

  const std::wstring chosen = dialog.FileName();
  // A folder that cannot be remembered costs only where the next dialog opens.
  support::SettingsStore::WriteValue(PathsSection, side.FolderKey, support::ksGetFilePath(chosen), app);
  confirmed(chosen);
}

}  // namespace

void frmMain::TakeInputFile(const std::wstring& fileName) {
  txtInFileName.SetText(fileName);
  // Whatever output name the box held gives way to the one that matches the new input.
  txtOutFileName.SetText(DeriveOutputName(fileName));
}

void frmMain::cmdBrowseInFile_Click() {
  Browse(InputSide, *this, txtInFileName, [this](const std::wstring& chosen) { TakeInputFile(chosen); });
}

void frmMain::cmdBrowseOutFile_Click() {
  Browse(OutputSide, *this, txtOutFileName, [this](const std::wstring& chosen) { txtOutFileName.SetText(chosen); });
}

}  // namespace ui
