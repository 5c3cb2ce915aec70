#include "support/about_box.h"

#include <vector>

#include "forms/message_box.h"
#include "win32/module_path.h"
#include "win32/system_library.h"

namespace support::AboutBox {
namespace {

// The version of the running executable as its version resource gives it
// ("1.00.0008"), or empty text when it has none.
std::wstring ExecutableVersion() {
  // Loaded from System32 alone, never a version.dll beside the executable.
  const win32::SystemLibrary library(L"version.dll");
  const auto getSize = library.Function<decltype(GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW");
  const auto getInfo = library.Function<decltype(GetFileVersionInfoW)>("GetFileVersionInfoW");
  const auto queryValue = library.Function<decltype(VerQueryValueW)>("VerQueryValueW");

  const std::wstring path = win32::ExecutablePath();
  DWORD ignored = 0;
  const DWORD size = getSize(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<BYTE> data(size);
  if (!getInfo(path.c_str(), 0, size, data.data())) return {};
  wchar_t* version = nullptr;
  UINT versionLength = 0;
  if (!queryValue(data.data(), L"\\StringFileInfo\\040904B0\\FileVersion", reinterpret_cast<void**>(&version),
                  &versionLength) ||
      versionLength == 0) {
    return {};
  }
  return std::wstring(version, versionLength - 1);
}

}  // namespace

void ShowAbout(HWND owner, const forms::Application& app, const std::wstring& author) {
  std::wstring text = app.Title;
  if (const std::wstring version = ExecutableVersion(); !version.empty()) text += L"\r\nВерсия " + version;
  text += L"\r\n\r\n" + author;
  (*forms::MessageBoxSeam)({.Owner = owner,
                            .Text = text,
                            .Caption = L"О программе",
                            .Style = MB_OK | MB_USERICON,
                            .IconResource = L"A_MAIN",
                            .OwnerFont = true});
}

}  // namespace support::AboutBox
