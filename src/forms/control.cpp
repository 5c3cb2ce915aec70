#include "forms/control.h"

#include <algorithm>

#include "forms/form.h"
#include "win32/failure.h"

namespace forms {

Control::Control(Form& form, TwipsRect placement, int tabIndex)
    : form_(form), placement_(placement), tabIndex_(tabIndex) {
  form_.Add(*this);
}

RECT Control::PixelRect() const {
  // The twips were chosen for a font whose lines may be lower than the form's is at this
  // DPI: real Tahoma is a pixel taller than 210 twips at 150 % and 200 %. The control
  // grows downwards, so its text stays where the twips put it.
  RECT rect = TwipsToPixels(placement_, form_.Dpi());
  if (const int textCell = form_.TextCellHeight(); textCell > 0) {
    rect.bottom = std::max(rect.bottom, rect.top + HeightForText(textCell, form_.Dpi()));
  }
  return rect;
}

void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  form_.ControlEnabledChanged(*this);
}

void Control::CreateControlWindow(HWND parent, HFONT font, int id, const ControlWindowArgs& args) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | args.Style | (enabled_ ? 0 : WS_DISABLED);
  window_ = win32::ThrowIfNull(CreateWindowExW(args.ExStyle, args.ClassName, args.Text.c_str(), style, 0, 0, 0, 0,
                                               parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                               GetModuleHandleW(nullptr), nullptr),
                               "CreateWindowExW");
  // Placed and given its font the one way it is at every DPI change too.
  PlaceWindow(font);
}

void Control::PlaceWindow(HFONT font) {
  if (window_ == nullptr) return;
  const RECT rect = PixelRect();
  win32::ThrowIfFalse(SetWindowPos(window_, nullptr, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE),
                      "SetWindowPos");
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace forms
