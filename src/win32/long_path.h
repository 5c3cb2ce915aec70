#pragma once
#include <string>

namespace win32 {

// The name to hand the file functions for a name as the user gave it. A
// relative name is resolved against the current directory, as the system
// would. A full path too long for the classic limit of MAX_PATH characters
// comes back in its extended form ("\\?\C:\..." or "\\?\UNC\server\share\..."),
// which the system takes at any length without a manifest or a system
// setting; a shorter one, and a name already in that form, come back as given.
std::wstring ExtendedPath(const std::wstring& name);

// The full path as the system resolves the name, or nothing when it cannot.
std::wstring FullPath(const std::wstring& name);

}  // namespace win32
