#include "support/support_functions.h"

namespace support {

Flag ksIsInIDE() { return IsDebuggerPresent() ? True : False; }

}  // namespace support
