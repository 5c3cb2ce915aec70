// The window's stored description: every control at its place, in twips.
#include "forms/colors.h"
#include "ui/frm_main.h"

namespace ui {
namespace {

forms::FormDescription StoredDescription() {
  return {.Caption = L"Tessaline",
          .ClientArea = {.Left = 1560, .Top = 1890, .Width = 5775, .Height = 1515},
          .Font = {.Name = L"Tahoma", .Points = 9, .Weight = FW_NORMAL, .CharSet = RUSSIAN_CHARSET},
          .BackColor = forms::ButtonFaceColor,
          .KeyPreview = true};
}

}  // namespace

std::unique_ptr<frmMain> frmMain::DefaultInstance;

frmMain::frmMain()
    : forms::Form(StoredDescription()),
      shpBack(*this, {-240, -600, 1755, 4815}, forms::ButtonFaceColor),
      lblTag{{*this, L"NRG файл:", {120, 180, 915, 210}, 0}, {*this, L"ISO файл:", {120, 600, 870, 210}, 3}},
      txtInFileName(*this, {1200, 120, 4035, 315}, 1),
      cmdBrowseInFile(*this, L"...", {5280, 120, 375, 315}, 2),
      txtOutFileName(*this, {1200, 540, 4035, 315}, 4),
      cmdBrowseOutFile(*this, L"...", {5280, 540, 375, 315}, 5),
      cmdStart(*this, L"Конвертировать", {2520, 960, 1815, 435}, 6, forms::ButtonRole::Default),
      cmdCancel(*this, L"Отмена", {4440, 960, 1215, 435}, 7, forms::ButtonRole::Cancel) {
  cmdStart.SetEnabled(false);
  SetAcceptsFiles(true);

  OnLoad = [this] { Form_Load(); };
  OnPaint = [this] { Form_Paint(); };
  OnDpiChanged = [this] { Form_DpiChanged(); };
  OnKeyDown = [this](short& keyCode, short& shift) { Form_KeyDown(keyCode, shift); };
  OnQueryUnload = [this](bool& cancel, forms::UnloadMode mode) { Form_QueryUnload(cancel, mode); };
  OnDropFiles = [this](const std::vector<std::wstring>& fileNames, forms::Control* target) {
    Form_DropFiles(fileNames, target);
  };
  cmdStart.OnClick = [this] { cmdStart_Click(); };
  cmdCancel.OnClick = [this] { cmdCancel_Click(); };
  cmdBrowseInFile.OnClick = [this] { cmdBrowseInFile_Click(); };
  cmdBrowseOutFile.OnClick = [this] { cmdBrowseOutFile_Click(); };
  txtInFileName.OnChange = [this] { txtFileName_Change(); };
  txtOutFileName.OnChange = [this] { txtFileName_Change(); };
  txtInFileName.OnGotFocus = [this] { txtFileName_GotFocus(); };
  txtOutFileName.OnGotFocus = [this] { txtFileName_GotFocus(); };
}

}  // namespace ui
