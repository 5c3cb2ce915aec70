// What the window does: start-up of the window, painting, converting, stopping, closing, keys.
#include "ui/frm_main.h"

#include "conversion/run_conversion.h"
#include "conversion/run_flags.h"
#include "support/about_box.h"
#include "support/support_functions.h"

namespace ui {
namespace {

constexpr wchar_t IconName[] = L"A_MAIN";
constexpr wchar_t AuthorName[] = L"Автор: Kelvane";

}  // namespace

void frmMain::Form_Load() {
  support::ksCenterFormEx(Handle());
  SetWindowIcons();
}

void frmMain::Form_Paint() {
  // The desktop shows through the window; the toolkit then draws the strip and the labels.
  PaintDesktop(DeviceContext());
}

void frmMain::Form_DpiChanged() {
  // On a monitor of another DPI the icons are wanted at other sizes.
  SetWindowIcons();
}

void frmMain::Form_KeyDown(short& keyCode, short& shift) {
  // Escape never arrives here: it clicks the cancel button.
  if (keyCode == VK_F1 && shift == forms::ShiftMask) support::AboutBox::ShowAbout(Handle(), forms::App(), AuthorName);
}

void frmMain::Form_QueryUnload(bool& cancel, forms::UnloadMode /*unloadMode*/) {
  // Every way of closing during a conversion becomes a stop request.
  if (modMain::IsConverting) {
    cancel = true;
    cmdCancel.SetValue(true);
  }
}

void frmMain::cmdStart_Click() {
  if (txtInFileName.Text().empty() || txtOutFileName.Text().empty()) return;
  SetFileControlsEnabled(false);
  txtInFileName.SetBackColor(forms::ButtonFaceColor);
  txtOutFileName.SetBackColor(forms::ButtonFaceColor);
  modMain::RunConversion(txtInFileName.Text(), txtOutFileName.Text());
  SetFileControlsEnabled(true);
  txtInFileName.SetBackColor(forms::WindowBackgroundColor);
  txtOutFileName.SetBackColor(forms::WindowBackgroundColor);
}

void frmMain::cmdCancel_Click() {
  if (modMain::IsConverting) {
    modMain::CancelRequested = true;
  } else {
    Unload();
  }
}

void frmMain::txtFileName_Change() {
  cmdStart.SetEnabled(!txtInFileName.Text().empty() && !txtOutFileName.Text().empty());
}

// One of the window's event handlers like the others, though it needs nothing of the window.
// NOLINTNEXTLINE(readability-convert-member-functions-to-static)
void frmMain::txtFileName_GotFocus() { support::ksHighlightText(GetFocus()); }

void frmMain::SetWindowIcons() {
  if (!support::ksIsInIDE()) support::ksSetWindowResIconAll(Handle(), IconName);
}

void frmMain::SetFileControlsEnabled(bool enabled) {
  // Frozen while converting: nothing may change a name or start a second conversion.
  SetAcceptsFiles(enabled);
  lblTag[0].SetEnabled(enabled);
  txtInFileName.SetEnabled(enabled);
  cmdBrowseInFile.SetEnabled(enabled);
  lblTag[1].SetEnabled(enabled);
  txtOutFileName.SetEnabled(enabled);
  cmdBrowseOutFile.SetEnabled(enabled);
  cmdStart.SetEnabled(enabled);
}

}  // namespace ui
