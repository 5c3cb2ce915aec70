#include "win32/shortcut.h"

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "win32/com.h"
#include "win32/long_path.h"

namespace win32 {
namespace {

bool IsShortcutName(const std::wstring& name) {
  return name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".lnk") == 0;
}

}  // namespace

std::optional<std::wstring> ShortcutTarget(const std::wstring& name) {
  if (!IsShortcutName(name)) return name;
  // Declared first: the shortcut's objects are released before the apartment ends.
  const ComApartment apartment;
  Microsoft::WRL::ComPtr<IShellLinkW> link;
  Microsoft::WRL::ComPtr<IPersistFile> file;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(link.GetAddressOf()))) ||
      FAILED(link.As(&file)) || FAILED(file->Load(name.c_str(), STGM_READ)) ||
      link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE) != S_OK) {
    return std::nullopt;
  }
  std::wstring target(32768, L'\0');  // the longest path the system takes
  if (link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, 0) != S_OK) return std::nullopt;
  target.resize(wcslen(target.c_str()));
  // A target that is gone, or that is no file at all (a printer, the Control Panel), names nothing to use.
  if (target.empty() || GetFileAttributesW(ExtendedPath(target).c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return target;
}

}  // namespace win32
