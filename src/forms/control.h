#pragma once
#include <windows.h>

#include <string>

#include "forms/twips.h"

namespace forms {

class Form;

// What a windowed control's window is made of; the placement, the font, the
// enabled state and the tab stop come from the control and its form.
struct ControlWindowArgs {
  const wchar_t* ClassName = L"";
  std::wstring Text;
  DWORD Style = 0;
  DWORD ExStyle = 0;
};

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
  int TabIndex() const noexcept { return tabIndex_; }
  // Where the control lies in the client area, in pixels: as its twips say, but never too low
  // for a line of its text in the form's font.
  RECT PixelRect() const;

  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool enabled);

  // The control's window; null for a windowless control or before load.
  HWND Handle() const noexcept { return window_; }

 protected:
  friend class Form;
  // Windowed controls create their window here, through CreateControlWindow, when the form loads.
  virtual void Create(HWND /*parent*/, HFONT /*font*/, int /*id*/) {}
  void CreateControlWindow(HWND parent, HFONT font, int id, const ControlWindowArgs& args);
  // Puts the window at its place at the form's DPI, in the given font.
  void PlaceWindow(HFONT font);
  // The height the control needs to show a line of text whose cell is that tall, at the DPI;
  // 0 for a control that shows no text.
  virtual int HeightForText(int /*textCell*/, int /*dpi*/) const { return 0; }
  // Windowless controls draw themselves here.
  virtual void Paint(HDC /*dc*/, HFONT /*font*/) const {}
  // A WM_COMMAND notification from the control's window.
  virtual void OnCommand(WORD /*code*/) {}
  // Background and text colours of the window (WM_CTLCOLOR*); null for the default.
  virtual HBRUSH OnControlColor(HDC /*dc*/) { return nullptr; }
  // The form's window, and with it the control's, has been destroyed.
  void Detach() noexcept { window_ = nullptr; }

 private:
  Form& form_;
  TwipsRect placement_;
  int tabIndex_;
  bool enabled_ = true;
  HWND window_ = nullptr;
};

}  // namespace forms
