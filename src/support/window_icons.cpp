#include <map>
#include <tuple>

#include "forms/form.h"
#include "support/support_functions.h"
#include "win32/dpi.h"
#include "win32/failure.h"
#include "win32/unique_handle.h"

namespace support {
namespace {

// The icon resource drawn at the given size. Each stays loaded as long as the
// program, since windows keep using the icons they were given; the system's
// shared copies (LR_SHARED) would not do: they keep the size first asked for.
HICON IconOfSize(const std::wstring& iconName, int width, int height) {
  static std::map<std::tuple<std::wstring, int, int>, win32::UniqueHIcon> loaded;
  win32::UniqueHIcon& icon = loaded[{iconName, width, height}];
  if (!icon) {
    icon.Reset(static_cast<HICON>(win32::ThrowIfNull(
        LoadImageW(GetModuleHandleW(nullptr), iconName.c_str(), IMAGE_ICON, width, height, 0), "LoadImageW")));
  }
  return icon.Get();
}

}  // namespace

void ksSetWindowResIconAll(HWND window, const std::wstring& iconName) {
  // At the sizes the window's DPI asks for, not the system's.
  const int dpi = forms::DpiOf(window);
  const HICON big =
      IconOfSize(iconName, win32::SystemMetricForDpi(SM_CXICON, dpi), win32::SystemMetricForDpi(SM_CYICON, dpi));
  const HICON small =
      IconOfSize(iconName, win32::SystemMetricForDpi(SM_CXSMICON, dpi), win32::SystemMetricForDpi(SM_CYSMICON, dpi));
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

}  // namespace support
