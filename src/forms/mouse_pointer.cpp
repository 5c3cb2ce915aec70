#include "forms/mouse_pointer.h"

#include <windows.h>

namespace forms {
namespace {

MousePointer current = MousePointer::Default;

}  // namespace

void SetMousePointer(MousePointer pointer) {
  current = pointer;
  // Show it now: during a long copy the next WM_SETCURSOR may be a chunk away.
  SetCursor(LoadCursorW(nullptr, pointer == MousePointer::Hourglass ? IDC_WAIT : IDC_ARROW));
}

MousePointer CurrentMousePointer() { return current; }

bool ApplyMousePointer() {
  if (current == MousePointer::Default) return false;
  SetCursor(LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

}  // namespace forms
