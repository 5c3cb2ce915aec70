#pragma once
#include <optional>
#include <string>

namespace win32 {

// What a dropped or typed name stands for: the file or folder a shell shortcut
// (.lnk in any case) leads to, however long its path, looked up without any
// user interface, without a search for a target that has gone and without
// rewriting the shortcut; any other name as it is. Nothing when the shortcut
// leads nowhere that exists or cannot be looked up.
std::optional<std::wstring> ShortcutTarget(const std::wstring& name);

}  // namespace win32
