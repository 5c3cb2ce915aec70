#include "forms/label.h"

#include <algorithm>
#include <utility>

#include "win32/failure.h"

namespace forms {

Label::Label(Form& form, std::wstring caption, TwipsRect placement, int tabIndex)
    : Control(form, placement, tabIndex), caption_(std::move(caption)) {}

void Label::Create(HWND parent, HFONT /*font*/, int id) {
  // Accessibility names a text box after the static text control just before
  // it in the tab order. The caption is painted, so a hidden static twin,
  // never shown nor focused, carries it, less the colon a spoken name needs not.
  std::wstring name = caption_;
  if (!name.empty() && name.back() == L':') name.pop_back();
  win32::ThrowIfNull(CreateWindowExW(0, L"STATIC", name.c_str(), WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                     nullptr),
                     "CreateWindowExW");
}

// The caption is drawn from the label's top, with nothing around it.
int Label::HeightForText(int textCell, int /*dpi*/) const { return textCell; }

void Label::Paint(HDC dc, HFONT font) const {
  RECT rect = PixelRect();
  const HGDIOBJ oldFont = SelectObject(dc, font);
  // Grows to its caption where the font is wider than the one it was laid out for.
  SIZE extent{};
  if (GetTextExtentPoint32W(dc, caption_.c_str(), static_cast<int>(caption_.size()), &extent)) {
    rect.right = std::max(rect.right, rect.left + extent.cx);
  }
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetTextColor(dc, GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  DrawTextW(dc, caption_.c_str(), static_cast<int>(caption_.size()), &rect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, oldFont);
}

}  // namespace forms
