#include "conversion/run_flags.h"

namespace modMain {

support::Flag IsConverting = support::False;
support::Flag CancelRequested = support::False;

}  // namespace modMain
