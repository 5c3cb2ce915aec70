#include "window_driver.h"

#include <thread>

#include "forms/form.h"
#include "forms/message_loop.h"

namespace tests {
namespace {

bool quitSeen = false;

void PumpPending() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitSeen = true;
      continue;
    }
    forms::ProcessMessage(msg);
  }
}

}  // namespace

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    PumpPending();
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

bool TakeQuit() {
  PumpPending();
  const bool seen = quitSeen;
  quitSeen = false;
  return seen;
}

void PressKey(UINT virtualKey, short modifiers, HWND target) {
  if (target == nullptr) target = GetFocus();
  BYTE keys[256];
  GetKeyboardState(keys);
  BYTE held[256];
  std::copy(std::begin(keys), std::end(keys), std::begin(held));
  if (modifiers & forms::ShiftMask) held[VK_SHIFT] = held[VK_LSHIFT] = 0x80;
  if (modifiers & forms::CtrlMask) held[VK_CONTROL] = held[VK_LCONTROL] = 0x80;
  if (modifiers & forms::AltMask) held[VK_MENU] = held[VK_LMENU] = 0x80;
  SetKeyboardState(held);
  const bool alt = (modifiers & forms::AltMask) != 0;
  const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (1 << 29) : 0);
  const LPARAM up = down | (1u << 30) | (1u << 31);
  PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, virtualKey, down);
  PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, virtualKey, up);
  PumpFor(std::chrono::milliseconds(50));
  SetKeyboardState(keys);
}

void TypeText(const std::wstring& text, HWND target) {
  if (target == nullptr) target = GetFocus();
  for (const wchar_t c : text) PostMessageW(target, WM_CHAR, c, 1);
  PumpFor(std::chrono::milliseconds(50));
}

COLORREF ClientPixel(HWND window, int x, int y) {
  UpdateWindow(window);
  POINT point{x, y};
  ClientToScreen(window, &point);
  const HDC screen = GetDC(nullptr);
  const COLORREF color = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return color;
}

RECT RectInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace tests
