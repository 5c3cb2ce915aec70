// Where the keyboard goes: the focus as controls are enabled and disabled, the
// default frame that shows which button Enter clicks, key preview and dialog keys.
#include "forms/control.h"
#include "forms/form.h"
#include "forms/runtime_error.h"

namespace forms {
namespace {

short CurrentShiftState() {
  short shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) shift |= CtrlMask;
  if (GetKeyState(VK_MENU) < 0) shift |= AltMask;
  return shift;
}

}  // namespace

void Form::ControlEnabledChanged(Control& control) {
  if (window_ == nullptr) return;
  const HWND handle = control.Handle();
  if (handle == nullptr) {
    // A label may have grown past its stored size to fit its caption: redraw the lot.
    InvalidateRect(window_, nullptr, TRUE);
    return;
  }
  const bool hadFocus = GetFocus() == handle;
  EnableWindow(handle, control.Enabled() ? TRUE : FALSE);
  if (!control.Enabled() && hadFocus) {
    // The keyboard stays with the form, so Escape still reaches the cancel
    // button, and the focus comes back here when the control is enabled again.
    focusToRestore_ = &control;
    SetFocus(window_);
    FocusChanged();
  } else if (control.Enabled() && focusToRestore_ == &control && GetFocus() == window_) {
    SetFocus(handle);
  }
}

void Form::FocusChanged() {
  const HWND focus = GetFocus();
  Control* focused = FindControl(focus);
  if (focused != nullptr) focusToRestore_ = focused;
  // Enter clicks the focused button, else the default one: the frame shows which.
  const CommandButton* focusedButton = FindButton(focus);
  for (CommandButton* button : buttons_) {
    button->ShowAsDefault(focusedButton != nullptr ? button == focusedButton : button == defaultButton_);
  }
}

void Form::RestoreFocus() {
  HWND target = nullptr;
  if (focusToRestore_ == nullptr) {
    target = GetNextDlgTabItem(window_, nullptr, FALSE);
  } else if (focusToRestore_->Enabled()) {
    target = focusToRestore_->Handle();
  }
  SetFocus(target != nullptr ? target : window_);
  FocusChanged();
}

bool Form::KeyReachesKeyDown(WPARAM key) const {
  if (key == VK_TAB) return false;
  if (key == VK_RETURN && defaultButton_ != nullptr) return false;
  if (key == VK_ESCAPE && cancelButton_ != nullptr) return false;
  return true;
}

bool Form::PreTranslateMessage(MSG& msg) {
  if (window_ == nullptr) return false;
  const bool keyDown = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  if (keyDown && description_.KeyPreview && OnKeyDown && KeyReachesKeyDown(msg.wParam)) {
    short keyCode = static_cast<short>(msg.wParam);
    short shift = CurrentShiftState();
    Dispatch([&] { OnKeyDown(keyCode, shift); });
    // A handler that clears the key code swallows the key; one that unloaded the form has used it.
    if (keyCode == 0 || window_ == nullptr) return true;
  }
  if (!IsDialogMessageW(window_, &msg)) return false;
  // The dialog manager redraws the default frames its own way when it moves the focus.
  if (keyDown && window_ != nullptr) FocusChanged();
  return true;
}

}  // namespace forms
