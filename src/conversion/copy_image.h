#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace modMain {

// Bytes skipped at the start of an NRG image; also the expected difference
// between the input and output sizes.
inline constexpr unsigned long HeaderSize = 307200;
// Bytes requested by each read.
inline constexpr unsigned long ChunkSize = 65536;

// The file calls of the copy. The program uses the system's; a test derives
// from it to make any call fail the way Windows does (FALSE or
// INVALID_HANDLE_VALUE, with SetLastError) or to tell of another volume.
class FileCalls {
 public:
  virtual ~FileCalls() = default;
  virtual HANDLE CreateFile(const std::wstring& name, DWORD access, DWORD share, DWORD disposition) const;
  virtual BOOL GetFileSizeEx(HANDLE file, LONGLONG* size) const;
  // The name of the file system that holds the file: "NTFS", "FAT32", ...
  virtual BOOL GetFileSystemName(HANDLE file, std::wstring* name) const;
  // The bytes that this user may still take on the volume that holds the file;
  // fails where they do not bound the file's size (a compressed file).
  virtual BOOL GetFreeBytes(HANDLE file, ULONGLONG* free) const;
  virtual BOOL SetFilePointerEx(HANDLE file, LONGLONG distance, DWORD method) const;
  virtual BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) const;
  virtual BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) const;
  virtual BOOL FlushFileBuffers(HANDLE file) const;
};

// How a copy ended; the failures name the file call that failed.
enum class CopyEnding { Copied, Stopped, InputOpenFailed, OutputOpenFailed, ReadFailed, WriteFailed };

struct CopyOutcome {
  CopyEnding Ending = CopyEnding::Copied;
  DWORD ErrorCode = ERROR_SUCCESS;  // the system's code for a failure
};

// Asked after every chunk, the last, empty read included: false stops the copy.
using KeepGoing = std::function<bool()>;

// Copies the input from HeaderSize to its end into the output, created or
// truncated; the output is not created when the input cannot be opened. An
// image that the output's volume cannot hold (a file of 4 GiB or more on FAT,
// more than the free space) fails as a write before any byte moves. A copy
// ends only once the output is on the disk. Both files are closed, the input
// first, before it returns. A stopped or failed copy leaves what it wrote on
// disk. Names of any length work: the file calls get them in the form
// win32::ExtendedPath gives.
CopyOutcome CopyImage(const std::wstring& inFileName, const std::wstring& outFileName, const KeepGoing& keepGoing,
                      const FileCalls& calls = FileCalls());

}  // namespace modMain
