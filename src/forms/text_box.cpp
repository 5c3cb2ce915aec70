#include "forms/text_box.h"

#include "forms/form.h"
#include "support/failure.h"

namespace forms {

TextBox::TextBox(Form& form, TwipsRect placement, int tabIndex)
    : Control(form, placement, tabIndex), backBrush_(backColor_) {}

std::wstring TextBox::Text() const {
  if (window_ == nullptr) return text_;
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window_)), L'\0');
  // The length can only shrink between the two calls; the copy says how much it took.
  const int copied = GetWindowTextW(window_, text.data(), static_cast<int>(text.size()) + 1);
  text.resize(static_cast<size_t>(copied));
  return text;
}

void TextBox::SetText(const std::wstring& text) {
  if (window_ == nullptr) {
    text_ = text;
    if (OnChange) OnChange();
    return;
  }
  support::ThrowIfFalse(SetWindowTextW(window_, text.c_str()), "SetWindowTextW");
}

void TextBox::SetBackColor(OleColor color) {
  backBrush_ = ColorBrush(color);
  backColor_ = color;
  if (window_ != nullptr) InvalidateRect(window_, nullptr, TRUE);
}

void TextBox::Create(HWND parent, HFONT font, int id) {
  const RECT rect = PixelRect();
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | (Enabled() ? 0 : WS_DISABLED);
  window_ = support::ThrowIfNull(
      CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", text_.c_str(), style, rect.left, rect.top, rect.right - rect.left,
                      rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      GetModuleHandleW(nullptr), nullptr),
      "CreateWindowExW(EDIT)");
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(window_, EM_SETLIMITTEXT, 0, 0);  // no limit but the system's
  text_.clear();
}

void TextBox::OnCommand(WORD code) {
  switch (code) {
    case EN_CHANGE:
      if (OnChange) OnChange();
      break;
    case EN_SETFOCUS:
      Parent().FocusChanged();
      if (OnGotFocus) OnGotFocus();
      break;
    default:
      break;
  }
}

HBRUSH TextBox::OnControlColor(HDC dc) {
  SetBkColor(dc, ToColorRef(backColor_));
  SetTextColor(dc, GetSysColor(Enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  return backBrush_.Get();
}

}  // namespace forms
