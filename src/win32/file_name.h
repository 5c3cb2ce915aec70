#pragma once
#include <string>

namespace win32 {

// Where the file name proper begins: after the last "\" or "/", or after the
// drive of a name like "C:disc.nrg".
inline std::size_t NameStart(const std::wstring& path) {
  const auto separator = path.find_last_of(L"\\/");
  if (separator != std::wstring::npos) return separator + 1;
  return path.size() >= 2 && path[1] == L':' ? 2 : 0;
}

// The name without one pair of double quotes around it, as Explorer's "Copy as
// path" puts them: a quote is never part of a Windows file name.
inline std::wstring Unquoted(const std::wstring& name) {
  if (name.size() >= 2 && name.front() == L'"' && name.back() == L'"') return name.substr(1, name.size() - 2);
  return name;
}

// The file name proper, without its folder.
inline std::wstring NamePart(const std::wstring& path) { return path.substr(NameStart(path)); }

// The name in the folder, with one separator between them.
inline std::wstring JoinedPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/') return folder + name;
  return folder + L'\\' + name;
}

}  // namespace win32
