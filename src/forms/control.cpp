#include "forms/control.h"

#include "forms/form.h"

namespace forms {

Control::Control(Form& form, TwipsRect placement, int tabIndex)
    : form_(form), placement_(placement), tabIndex_(tabIndex) {
  form_.Add(*this);
}

RECT Control::PixelRect() const { return TwipsToPixels(placement_, form_.Dpi()); }

void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  form_.ControlEnabledChanged(*this);
}

}  // namespace forms
