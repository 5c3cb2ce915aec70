#pragma once
#include <windows.h>

#include <chrono>
#include <string>

namespace modMain {

// What the volume that holds a file has room for.
struct VolumeSpace {
  ULONGLONG FreeToCaller = 0;  // what this user may still take: a disk quota counts
  ULONGLONG ClusterSize = 0;  // a file takes room in whole clusters
};

// The file calls of a conversion, and the clock that times its flushes. The
// program uses the system's; a test derives from it to make any call fail the
// way Windows does (FALSE or INVALID_HANDLE_VALUE, with SetLastError), to tell
// of another volume or of a disk of another speed.
class FileCalls {
 public:
  virtual ~FileCalls() = default;
  virtual HANDLE CreateFile(const std::wstring& name, DWORD access, DWORD share, DWORD disposition) const;
  virtual BOOL GetFileSizeEx(HANDLE file, LONGLONG* size) const;
  virtual BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info,
                                            DWORD size) const;
  // The name of the file system that holds the file: "NTFS", "FAT32", ...
  virtual BOOL GetFileSystemName(HANDLE file, std::wstring* name) const;
  // The room on the volume that holds the file, opened under that name.
  virtual BOOL GetVolumeSpace(HANDLE file, const std::wstring& fileName, VolumeSpace* space) const;
  virtual BOOL SetFilePointerEx(HANDLE file, LONGLONG distance, DWORD method) const;
  virtual BOOL SetEndOfFile(HANDLE file) const;
  virtual BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) const;
  virtual BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) const;
  virtual BOOL FlushFileBuffers(HANDLE file) const;
  // A file system control code that takes an input buffer and gives nothing back.
  virtual BOOL DeviceIoControl(HANDLE file, DWORD code, const void* input, DWORD size) const;
  virtual std::chrono::steady_clock::time_point Now() const;
};

// The code of the file call that has just failed: one that failed without saying why has still failed.
inline DWORD FailureCode() {
  const DWORD code = GetLastError();
  return code != ERROR_SUCCESS ? code : ERROR_GEN_FAILURE;
}

}  // namespace modMain
