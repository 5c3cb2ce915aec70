#pragma once
#include <string>

#include "forms/colors.h"
#include "forms/control.h"

namespace forms {

// A windowless caption on one line, drawn opaque by its form.
class Label final : public Control {
 public:
  Label(Form& form, std::wstring caption, TwipsRect placement, int tabIndex);

 private:
  void Paint(HDC dc, HFONT font) const override;

  std::wstring caption_;
};

}  // namespace forms
