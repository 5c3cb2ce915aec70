#include "support/support_functions.h"

namespace support {

void ksHighlightText(HWND editWindow) {
  SendMessageW(editWindow, EM_SETSEL, 0, -1);
}

}  // namespace support
