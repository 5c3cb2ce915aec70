#pragma once
#include <functional>
#include <string>

#include "forms/colors.h"
#include "forms/control.h"

namespace forms {

// A single-line text box without a length limit.
class TextBox final : public Control {
 public:
  TextBox(Form& form, TwipsRect placement, int tabIndex);

  std::function<void()> OnChange;
  std::function<void()> OnGotFocus;

  std::wstring Text() const;
  // Runs the change handling exactly as typing does.
  void SetText(const std::wstring& text);

  OleColor BackColor() const noexcept { return backColor_; }
  void SetBackColor(OleColor color);

 private:
  void Create(HWND parent, HFONT font, int id) override;
  void OnCommand(WORD code) override;
  HBRUSH OnControlColor(HDC dc) override;
  int HeightForText(int textCell, int dpi) const override;

  std::wstring text_;  // the text until the window exists
  OleColor backColor_ = WindowBackgroundColor;
  ColorBrush backBrush_;
};

}  // namespace forms
