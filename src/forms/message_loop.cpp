#include "forms/message_loop.h"

#include "forms/form.h"
#include "forms/runtime_error.h"

namespace forms {

void ProcessMessage(MSG& msg) {
  if (Form* form = Form::FromWindow(msg.hwnd); form != nullptr && form->PreTranslateMessage(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

int Run(void (*startup)()) {
  Dispatch(startup);
  if (MainWindow() == nullptr) return 0;  // start-up showed no window: nothing to wait for
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) ProcessMessage(msg);
  return static_cast<int>(msg.wParam);
}

}  // namespace forms
