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

  ButtonRole Role() const noexcept { return role_; }
  const std::wstring& Caption() const noexcept { return caption_; }
  // Value = True: clicks the button at once, as the user would.
  void SetValue(bool value);

  HWND Handle() const noexcept override { return window_; }
  // Shows the button with the thick default frame, or without it.
  void ShowAsDefault(bool isDefault);

 private:
  void Create(HWND parent, HFONT font, int id) override;
  void OnCommand(WORD code) override;
  void Detach() override { window_ = nullptr; }
  void Click();

  std::wstring caption_;
  ButtonRole role_;
  HWND window_ = nullptr;
};

}  // namespace forms
