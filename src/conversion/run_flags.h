#pragma once

namespace modMain {

// A conversion is running: set and cleared only by RunConversion.
extern bool IsConverting;
// The user asked to stop the running conversion and has not yet answered the
// stop prompt: raised by the window, cleared by ConvertImage.
extern bool CancelRequested;

}  // namespace modMain
