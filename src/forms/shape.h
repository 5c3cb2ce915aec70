#pragma once
#include "forms/colors.h"
#include "forms/control.h"

namespace forms {

// A windowless rectangle, filled solid, with a one-pixel outline.
class Shape final : public Control {
 public:
  Shape(Form& form, TwipsRect placement, OleColor fillColor, OleColor borderColor = WindowTextColor);

 private:
  void Paint(HDC dc, HFONT font) const override;

  OleColor fillColor_;
  OleColor borderColor_;
};

}  // namespace forms
