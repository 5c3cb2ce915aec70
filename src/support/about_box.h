#pragma once
#include <windows.h>

#include <string>

#include "forms/application.h"

namespace support::AboutBox {

// The program's About box, owned by the window and drawn in its font: its icon, title, version and
// author. Waits until the user closes it.
void ShowAbout(HWND owner, const forms::Application& app, const std::wstring& author);

}  // namespace support::AboutBox
