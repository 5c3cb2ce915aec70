#include "forms/text_box.h"

#include "forms/form.h"
#include "win32/dpi.h"
#include "win32/failure.h"

namespace forms {
namespace {

constexpr DWORD EditStyle = WS_CHILD | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD EditExStyle = WS_EX_CLIENTEDGE;

}  // namespace

TextBox::TextBox(Form& form, TwipsRect placement, int tabIndex)
    : Control(form, placement, tabIndex), backBrush_(backColor_) {}

std::wstring TextBox::Text() const {
  if (Handle() == nullptr) return text_;
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(Handle())), L'\0');
  // The length can only shrink between the two calls; the copy says how much it took.
  const int copied = GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()) + 1);
  text.resize(static_cast<size_t>(copied));
  return text;
}

void TextBox::SetText(const std::wstring& text) {
  if (Handle() == nullptr) {
    text_ = text;
    if (OnChange) OnChange();
    return;
  }
  win32::ThrowIfFalse(SetWindowTextW(Handle(), text.c_str()), "SetWindowTextW");
}

void TextBox::SetBackColor(OleColor color) {
  backBrush_ = ColorBrush(color);
  backColor_ = color;
  if (Handle() != nullptr) InvalidateRect(Handle(), nullptr, TRUE);
}

void TextBox::Create(HWND parent, HFONT font, int id) {
  CreateControlWindow(parent, font, id,
                      {.ClassName = L"EDIT", .Text = text_, .Style = EditStyle, .ExStyle = EditExStyle});
  SendMessageW(Handle(), EM_SETLIMITTEXT, 0, 0);  // no limit but the system's
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

int TextBox::HeightForText(int textCell, int dpi) const {
  // The sunken edge, and within it a pixel above and below the line, as the edit control keeps them.
  const RECT frame = win32::FrameAround(RECT{}, EditStyle, EditExStyle, dpi);
  return textCell + 2 + (frame.bottom - frame.top);
}

HBRUSH TextBox::OnControlColor(HDC dc) {
  SetBkColor(dc, ToColorRef(backColor_));
  SetTextColor(dc, GetSysColor(Enabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  return backBrush_.Get();
}

}  // namespace forms
