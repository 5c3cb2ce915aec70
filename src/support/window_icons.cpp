#include "win32/failure.h"
#include "support/support_functions.h"

namespace support {
namespace {

HICON LoadIconOfSize(const std::wstring& iconName, int widthMetric, int heightMetric) {
  // Shared icons live as long as the module: the window may keep them.
  return static_cast<HICON>(win32::ThrowIfNull(LoadImageW(GetModuleHandleW(nullptr), iconName.c_str(), IMAGE_ICON,
                                                   GetSystemMetrics(widthMetric), GetSystemMetrics(heightMetric),
                                                   LR_SHARED),
                                        "LoadImageW"));
}

}  // namespace

void ksSetWindowResIconAll(HWND window, const std::wstring& iconName) {
  const HICON big = LoadIconOfSize(iconName, SM_CXICON, SM_CYICON);
  const HICON small = LoadIconOfSize(iconName, SM_CXSMICON, SM_CYSMICON);
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

}  // namespace support
