#include "forms/message_box.h"

#include "forms/application.h"
#include "forms/form.h"
#include "forms/modal_box.h"
#include "win32/failure.h"

namespace forms {
namespace {

int ShowSystemMessageBox(const MessageBoxRequest& request) {
  MSGBOXPARAMSW params{};
  params.cbSize = sizeof params;
  params.hwndOwner = request.Owner;
  params.hInstance = GetModuleHandleW(nullptr);
  params.lpszText = request.Text.c_str();
  params.lpszCaption = request.Caption.c_str();
  params.dwStyle = request.Style;
  params.lpszIcon = request.IconResource;
  const ModalBoxScope boxUp;
  const int answer = MessageBoxIndirectW(&params);
  if (answer == 0) win32::ThrowWin32(GetLastError(), "MessageBoxIndirectW");
  return answer;
}

}  // namespace

win32::Seam<MessageBoxFunction> MessageBoxSeam{ShowSystemMessageBox};

int MsgBox(const std::wstring& text, UINT style) {
  return (*MessageBoxSeam)({.Owner = MainWindow(), .Text = text, .Caption = App().Title, .Style = style});
}

}  // namespace forms
