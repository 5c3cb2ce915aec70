#pragma once
#include "support/flag.h"

namespace modMain {

// A conversion is running: set and cleared only by RunConversion.
extern support::Flag IsConverting;
// The user asked to stop the running conversion and has not yet answered the
// stop prompt: raised by the window, cleared by ConvertImage.
extern support::Flag CancelRequested;

}  // namespace modMain
