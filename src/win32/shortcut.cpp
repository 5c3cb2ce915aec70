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

// No search for a look-alike of a target that is gone, and a second at most
// (the high word, with SLR_NO_UI) where the default would freeze the window for three.
constexpr DWORD ResolveFlags = DWORD{SLR_NO_UI} | SLR_NOUPDATE | SLR_NOSEARCH | (1000u << 16);

}  // namespace

std::optional<std::wstring> ShortcutTarget(const std::wstring& name) {
  if (!IsShortcutName(name)) return name;
  // Declared first: the shortcut's objects are released before the apartment ends.
  // Where COM cannot be had, the shortcut cannot be looked up: it leads nowhere.
  const ComApartment apartment(std::nothrow);
  if (!apartment.Joined()) return std::nullopt;
  Microsoft::WRL::ComPtr<IShellLinkW> link;
  Microsoft::WRL::ComPtr<IPersistFile> file;
  UniqueCoTaskMemory<PIDLIST_ABSOLUTE> items;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(link.GetAddressOf()))) ||
      FAILED(link.As(&file)) || FAILED(file->Load(name.c_str(), STGM_READ)) ||
      link->Resolve(nullptr, ResolveFlags) != S_OK || FAILED(link->GetIDList(items.Put())) || !items) {
    return std::nullopt;
  }
  // From the item ID list: GetPath gives no more than MAX_PATH characters.
  std::wstring target(32768, L'\0');  // the longest path the system takes
  if (!SHGetPathFromIDListEx(items.Get(), target.data(), static_cast<DWORD>(target.size()), GPFIDL_DEFAULT)) {
    return std::nullopt;
  }
  target.resize(wcslen(target.c_str()));
  // A target that is gone, or that is no file at all (a printer, the Control Panel), names nothing to use.
  if (target.empty() || GetFileAttributesW(ExtendedPath(target).c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return target;
}

}  // namespace win32
