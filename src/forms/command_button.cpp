#include "forms/command_button.h"

#include <utility>

#include "forms/form.h"
#include "support/failure.h"

namespace forms {

CommandButton::CommandButton(Form& form, std::wstring caption, TwipsRect placement, int tabIndex, ButtonRole role)
    : Control(form, placement, tabIndex), caption_(std::move(caption)), role_(role) {}

void CommandButton::SetValue(bool value) {
  if (value) Click();
}

void CommandButton::ShowAsDefault(bool isDefault) {
  if (window_ == nullptr) return;
  SendMessageW(window_, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void CommandButton::Create(HWND parent, HFONT font, int id) {
  const RECT rect = PixelRect();
  // BS_NOTIFY: the form hears when the button gets and loses the focus, to move the default frame.
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY |
                      (role_ == ButtonRole::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                      (Enabled() ? 0 : WS_DISABLED);
  window_ = support::ThrowIfNull(
      CreateWindowExW(0, L"BUTTON", caption_.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                      rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      GetModuleHandleW(nullptr), nullptr),
      "CreateWindowExW(BUTTON)");
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void CommandButton::OnCommand(WORD code) {
  switch (code) {
    case BN_CLICKED:
      // Keyboard routing may name a button that has just been disabled.
      if (Enabled()) Click();
      break;
    case BN_SETFOCUS:
    case BN_KILLFOCUS:
      Parent().FocusChanged();
      break;
    default:
      break;
  }
}

void CommandButton::Click() {
  if (OnClick) OnClick();
}

}  // namespace forms
