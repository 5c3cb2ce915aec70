#pragma once
#include <string>

#include "forms/colors.h"
#include "forms/control.h"

namespace forms {

// A windowless caption on one line, drawn opaque by its form. Screen readers
// still read it as the name of the text box that follows it in the tab order.
class Label final : public Control {
 public:
  Label(Form& form, std::wstring caption, TwipsRect placement, int tabIndex);

 private:
  void Create(HWND parent, HFONT font, int id) override;
  void Paint(HDC dc, HFONT font) const override;
  int HeightForText(int textCell, int dpi) const override;

  std::wstring caption_;
};

}  // namespace forms
