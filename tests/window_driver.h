#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace tests {

// Serves window messages the way the program's message loop does, until the
// condition holds or the time is up. Returns whether the condition held.
bool PumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));
// Serves whatever is pending now and what that leads to, for a moment.
void PumpFor(std::chrono::milliseconds duration);
// True once a WM_QUIT has come through PumpUntil or PumpFor since the last call.
bool TakeQuit();

// Key presses as the keyboard sends them, to whichever window has the focus
// (or to the given window), with the modifier keys held meanwhile.
void PressKey(UINT virtualKey, short modifiers = 0, HWND target = nullptr);
// Characters typed into the focused window.
void TypeText(const std::wstring& text, HWND target = nullptr);

// The colour of one client pixel as it is on the screen now.
COLORREF ClientPixel(HWND window, int x, int y);

// The window's rectangle relative to its parent's client area.
RECT RectInParent(HWND window);

}  // namespace tests
