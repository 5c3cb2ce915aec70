#pragma once
#include <optional>
#include <string>

namespace win32 {

// What a dropped or typed name stands for: the file or folder a shell shortcut
// (.lnk) leads to, found as the open dialog finds it but without any user
// interface and without rewriting the shortcut; any other name as it is.
// Nothing when the shortcut leads nowhere that exists.
std::optional<std::wstring> ShortcutTarget(const std::wstring& name);

}  // namespace win32
