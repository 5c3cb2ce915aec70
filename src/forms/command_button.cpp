#include "forms/command_button.h"

#include <utility>

#include "forms/form.h"

namespace forms {

CommandButton::CommandButton(Form& form, std::wstring caption, TwipsRect placement, int tabIndex, ButtonRole role)
    : Control(form, placement, tabIndex), caption_(std::move(caption)), isDefault_(role == ButtonRole::Default) {
  form.AddButton(*this, role);
}

void CommandButton::SetValue(bool value) {
  if (value) Click();
}

void CommandButton::ShowAsDefault(bool isDefault) {
  if (Handle() == nullptr) return;
  SendMessageW(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void CommandButton::Create(HWND parent, HFONT font, int id) {
  // BS_NOTIFY: the form hears when the button gets and loses the focus, to move the default frame.
  CreateControlWindow(parent, font, id,
                      {.ClassName = L"BUTTON",
                       .Text = caption_,
                       .Style = static_cast<DWORD>(BS_NOTIFY | (isDefault_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON))});
}

// The caption lies inside the raised edge, two pixels on each side.
int CommandButton::HeightForText(int textCell, int /*dpi*/) const { return textCell + 4; }

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

// Not const, though it changes no member: it raises the event, whose handler changes the form.
// NOLINTNEXTLINE(readability-make-member-function-const)
void CommandButton::Click() {
  if (OnClick) OnClick();
}

}  // namespace forms
