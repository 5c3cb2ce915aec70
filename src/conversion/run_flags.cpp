#include "conversion/run_flags.h"

namespace modMain {

bool IsConverting = false;
bool CancelRequested = false;

}  // namespace modMain
