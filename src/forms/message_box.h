#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "win32/seam.h"

namespace forms {

struct MessageBoxRequest {
  HWND Owner = nullptr;
  std::wstring Text;
  std::wstring Caption;
  UINT Style = MB_OK;
  const wchar_t* IconResource = nullptr;  // with MB_USERICON: an icon of the executable
  bool OwnerFont = false;  // with MB_OK alone: drawn in the owner window's font, not the system's
};

using MessageBoxFunction = std::function<int(const MessageBoxRequest&)>;

// Every modal message box of the program goes through here; tests put a
// scripted answer in its place.
extern win32::Seam<MessageBoxFunction> MessageBoxSeam;

// A modal box owned by the program's main window, captioned with the
// application title. Returns the button pressed (IDOK, IDCANCEL, ...).
int MsgBox(const std::wstring& text, UINT style);

}  // namespace forms
