#pragma once
#include <windows.h>

#include "forms/twips.h"

namespace forms {

class Form;

// A control of a form, placed in twips. Windowed controls (text boxes,
// buttons) get their window when the form loads; windowless ones (labels,
// shapes) are drawn by the form at every paint.
class Control {
 public:
  Control(Form& form, TwipsRect placement, int tabIndex);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& Parent() const noexcept { return form_; }
  const TwipsRect& Placement() const noexcept { return placement_; }
  int TabIndex() const noexcept { return tabIndex_; }
  // Where the control lies in the client area, in pixels.
  RECT PixelRect() const;

  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool enabled);

  // The control's window; null for a windowless control or before load.
  virtual HWND Handle() const noexcept { return nullptr; }

 protected:
  friend class Form;
  // Windowed controls create their window here, when the form loads.
  virtual void Create(HWND /*parent*/, HFONT /*font*/, int /*id*/) {}
  // Windowless controls draw themselves here.
  virtual void Paint(HDC /*dc*/, HFONT /*font*/) const {}
  // A WM_COMMAND notification from the control's window.
  virtual void OnCommand(WORD /*code*/) {}
  // Background and text colours of the window (WM_CTLCOLOR*); null for the default.
  virtual HBRUSH OnControlColor(HDC /*dc*/) { return nullptr; }
  // The form's window, and with it the control's, has been destroyed.
  virtual void Detach() {}

 private:
  Form& form_;
  TwipsRect placement_;
  int tabIndex_;
  bool enabled_ = true;
};

}  // namespace forms
