#include "support/support_functions.h"

namespace support {

bool ksIsInIDE() { return IsDebuggerPresent() != FALSE; }

}  // namespace support
