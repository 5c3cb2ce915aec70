#include "forms/message_box.h"

#include "forms/application.h"
#include "forms/form.h"
#include "forms/modal_box.h"
#include "forms/owner_font_box.h"
#include "win32/failure.h"

namespace forms {
namespace {

int ShowMessageBox(const MessageBoxRequest& request) {
  const ModalBoxScope boxUp;
  if (request.OwnerFont) return ShowBoxInOwnerFont(request);
  MSGBOXPARAMSW params{};
  params.cbSize = sizeof params;
  params.hwndOwner = request.Owner;
  params.hInstance = GetModuleHandleW(nullptr);
  params.lpszText = request.Text.c_str();
  params.lpszCaption = request.Caption.c_str();
  params.dwStyle = request.Style;
  params.lpszIcon = request.IconResource;
  const int answer = MessageBoxIndirectW(&params);
  if (answer == 0) win32::ThrowWin32(GetLastError(), "MessageBoxIndirectW");
  return answer;
}

}  // namespace

win32::Seam<MessageBoxFunction> MessageBoxSeam{ShowMessageBox};

int MsgBox(const std::wstring& text, UINT style) {
  return (*MessageBoxSeam)({.Owner = MainWindow(), .Text = text, .Caption = App().Title, .Style = style});
}

}  // namespace forms
