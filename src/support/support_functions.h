#pragma once
#include <windows.h>

#include <string>

#include "support/flag.h"

// The support library's flat functions. Each throws support::Failure when
// the system refuses what it asks.
namespace support {

// Registers the program's full path for the current user, so that the shell
// (Win+R, "start") finds it by its file name.
void ksRegisterAppPath();

// True when the program runs under a debugger, that is, inside its development environment.
Flag ksIsInIDE();

// Gives the window the named icon resource of the executable, large and small.
void ksSetWindowResIconAll(HWND window, const std::wstring& iconName);

// Centres the window on the work area of its monitor.
void ksCenterFormEx(HWND window);

// Selects the whole text of an edit control.
void ksHighlightText(HWND editWindow);

// Size in bytes of the named file.
double ksGetFileSizeEx(const std::wstring& fileName);

}  // namespace support
