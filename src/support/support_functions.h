#pragma once
#include <windows.h>

#include <string>


// The support library's flat functions. Each throws win32::Failure when
// the system refuses what it asks.
namespace support {

// Registers the program's full path for the current user, so that the shell
// (Win+R, "start") finds it by its file name.
void ksRegisterAppPath();

// true when the program runs under a debugger, that is, inside its development environment.
bool ksIsInIDE();

// Gives the window the named icon resource of the executable, large and small.
void ksSetWindowResIconAll(HWND window, const std::wstring& iconName);

// Centres the window on the work area of its monitor.
void ksCenterFormEx(HWND window);

// Selects the whole text of an edit control.
void ksHighlightText(HWND editWindow);

// Size in bytes of the named file.
double ksGetFileSizeEx(const std::wstring& fileName);

// Path chores on text alone: nothing here touches the file system. Both the
// backslash and the slash separate folders.

// The folder part of a file name, in the form GetCurrentDirectory gives: no
// trailing separator, except where dropping it would name another folder
// (the roots "C:\" and "\"). Empty when the name has no folder.
std::wstring ksGetFilePath(const std::wstring& fileName);

// The extension of the file name (never of a folder), without its dot; empty
// when the name has none or ends with the dot.
std::wstring ksGetFileExtension(const std::wstring& fileName);

// The text without its last count characters: all of it for a count of zero
// or less, nothing for a count beyond its length.
std::wstring ksCutRight(const std::wstring& text, long count);

}  // namespace support
