#pragma once
#include <windows.h>

#include <string>

#include "forms/application.h"

namespace support {

// The program's About box: its icon, title, version and author.
class AboutBox {
 public:
  // Waits until the user closes the box. The empty text and the picture are
  // reserved; the box always shows the executable's "A_MAIN" icon.
  void ShowAbout(HWND owner, const forms::Application& app, const std::wstring& reserved, HICON picture,
                 const std::wstring& author) const;
};

}  // namespace support
