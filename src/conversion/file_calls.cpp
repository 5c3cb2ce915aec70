#include "conversion/file_calls.h"

#include "win32/long_path.h"

namespace modMain {
namespace {

// The folder a name lies in, resolved as the system resolves it; empty where it cannot be.
std::wstring FolderOf(const std::wstring& name) {
  const std::wstring full = win32::FullPath(name);
  return full.substr(0, full.find_last_of(L'\\') + 1);
}

// The folder the open file lies in, whatever form of name opened it; empty where
// the system cannot say (a share whose parent folder cannot be listed, a volume without a letter).
std::wstring FolderOf(HANDLE file) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length == 0) return {};
    const bool fitted = length < path.size();
    path.resize(length);
    if (fitted) break;
  }
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

}  // namespace

HANDLE FileCalls::CreateFile(const std::wstring& name, DWORD access, DWORD share, DWORD disposition) const {
  return ::CreateFileW(name.c_str(), access, share, nullptr, disposition, 0, nullptr);
}

BOOL FileCalls::GetFileSizeEx(HANDLE file, LONGLONG* size) const {
  LARGE_INTEGER value{};
  const BOOL ok = ::GetFileSizeEx(file, &value);
  *size = value.QuadPart;
  return ok;
}

BOOL FileCalls::GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info,
                                             DWORD size) const {
  return ::GetFileInformationByHandleEx(file, kind, info, size);
}

BOOL FileCalls::GetFileSystemName(HANDLE file, std::wstring* name) const {
  wchar_t text[MAX_PATH + 1];
  if (!::GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr, text, MAX_PATH + 1)) return FALSE;
  *name = text;
  return TRUE;
}

BOOL FileCalls::GetVolumeSpace(HANDLE file, const std::wstring& fileName, VolumeSpace* space) const {
  std::wstring folder = FolderOf(file);
  if (folder.empty()) folder = FolderOf(fileName);
  ULARGE_INTEGER toCaller{};
  if (folder.empty() || !::GetDiskFreeSpaceExW(folder.c_str(), &toCaller, nullptr, nullptr)) return FALSE;
  // The cluster size is asked of the volume's root.
  std::wstring root(folder.size() + 1, L'\0');
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD clusters = 0;
  if (!::GetVolumePathNameW(folder.c_str(), root.data(), static_cast<DWORD>(root.size())) ||
      !::GetDiskFreeSpaceW(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) {
    return FALSE;
  }
  *space = {.FreeToCaller = toCaller.QuadPart, .ClusterSize = ULONGLONG{sectorsPerCluster} * bytesPerSector};
  return TRUE;
}

BOOL FileCalls::SetFilePointerEx(HANDLE file, LONGLONG distance, DWORD method) const {
  return ::SetFilePointerEx(file, LARGE_INTEGER{.QuadPart = distance}, nullptr, method);
}

BOOL FileCalls::SetEndOfFile(HANDLE file) const { return ::SetEndOfFile(file); }

BOOL FileCalls::ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) const {
  return ::ReadFile(file, buffer, size, read, nullptr);
}

BOOL FileCalls::WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) const {
  return ::WriteFile(file, buffer, size, written, nullptr);
}

BOOL FileCalls::FlushFileBuffers(HANDLE file) const { return ::FlushFileBuffers(file); }

BOOL FileCalls::DeviceIoControl(HANDLE file, DWORD code, const void* input, DWORD size) const {
  DWORD returned = 0;
  return ::DeviceIoControl(file, code, const_cast<void*>(input), size, nullptr, 0, &returned, nullptr);
}

std::chrono::steady_clock::time_point FileCalls::Now() const { return std::chrono::steady_clock::now(); }

}  // namespace modMain
