#include "support/about_box.h"

#include <vector>

#include "forms/message_box.h"

namespace support {
namespace {

// The version of the running executable as its version resource gives it
// ("1.00.0008"), or empty text when it has none.
std::wstring ExecutableVersion() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length == MAX_PATH) return {};
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  if (size == 0) return {};
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path, 0, size, data.data())) return {};
  wchar_t* version = nullptr;
  UINT versionLength = 0;
  if (!VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\FileVersion", reinterpret_cast<void**>(&version),
                      &versionLength) ||
      versionLength == 0) {
    return {};
  }
  return std::wstring(version, versionLength - 1);
}

}  // namespace

void AboutBox::ShowAbout(HWND owner, const forms::Application& app, const std::wstring& /*reserved*/,
                         HICON /*picture*/, const std::wstring& author) const {
  std::wstring text = app.Title;
  if (const std::wstring version = ExecutableVersion(); !version.empty()) text += L"\r\nВерсия " + version;
  text += L"\r\n\r\n" + author;
  (*forms::MessageBoxSeam)({.Owner = owner,
                            .Text = text,
                            .Caption = L"О программе",
                            .Style = MB_OK | MB_USERICON,
                            .IconResource = L"A_MAIN"});
}

}  // namespace support
