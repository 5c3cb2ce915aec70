#pragma once
#include <functional>
#include <string>

#include "forms/control.h"

namespace forms {

// What Enter and Escape do with a button.
enum class ButtonRole { Normal, Default, Cancel };

class CommandButton final : public Control {
 public:
  CommandButton(Form& form, std::wstring caption, TwipsRect placement, int tabIndex,
                ButtonRole role = ButtonRole::Normal);

  std::function<void()> OnClick;

  // Value = True: clicks the button at once, as the user would.
  void SetValue(bool value);

  // Shows the button with the thick default frame, or without it.
  void ShowAsDefault(bool isDefault);

 private:
  void Create(HWND parent, HFONT font, int id) override;
  void OnCommand(WORD code) override;
  int HeightForText(int textCell, int dpi) const override;
  void Click();

  std::wstring caption_;
  bool isDefault_;
};

}  // namespace forms
