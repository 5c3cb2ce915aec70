#pragma once
#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace tests {

// What the shell hands a window with WM_DROPFILES: a DROPFILES block with the
// wide names after it, each ended by a null and the list by one more; the
// point in the client area of the window that gets the message.
inline std::vector<char> DropFilesBlock(const std::vector<std::wstring>& names, POINT point) {
  std::wstring list;
  for (const std::wstring& name : names) list += name + L'\0';
  list += L'\0';
  const DROPFILES header{.pFiles = sizeof(DROPFILES), .pt = point, .fNC = FALSE, .fWide = TRUE};
  std::vector<char> block(sizeof header + list.size() * sizeof(wchar_t));
  std::memcpy(block.data(), &header, sizeof header);
  std::memcpy(block.data() + sizeof header, list.data(), list.size() * sizeof(wchar_t));
  return block;
}

}  // namespace tests
