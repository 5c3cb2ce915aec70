#include "conversion/copy_image.h"

#include <memory>

#include "win32/long_path.h"
#include "win32/unique_handle.h"

namespace modMain {

HANDLE FileCalls::CreateFile(const std::wstring& name, DWORD access, DWORD share, DWORD disposition) const {
  return ::CreateFileW(name.c_str(), access, share, nullptr, disposition, 0, nullptr);
}

BOOL FileCalls::GetFileSizeEx(HANDLE file, LONGLONG* size) const {
  LARGE_INTEGER value{};
  const BOOL ok = ::GetFileSizeEx(file, &value);
  *size = value.QuadPart;
  return ok;
}

BOOL FileCalls::GetFileSystemName(HANDLE file, std::wstring* name) const {
  wchar_t text[MAX_PATH + 1];
  if (!::GetVolumeInformationByHandleW(file, nullptr, 0, nullptr, nullptr, nullptr, text, MAX_PATH + 1)) return FALSE;
  *name = text;
  return TRUE;
}

BOOL FileCalls::GetFreeBytes(HANDLE file, ULONGLONG* free) const {
  // The folder the file lies in, as the system resolved it, whatever form of name opened it.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length == 0) return FALSE;
    const bool fitted = length < path.size();
    path.resize(length);
    if (fitted) break;
  }
  // A compressed file takes less room than its size: the room says nothing there.
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_COMPRESSED) != 0) return FALSE;
  path.erase(path.find_last_of(L'\\') + 1);
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr)) return FALSE;
  *free = available.QuadPart;
  return TRUE;
}

BOOL FileCalls::SetFilePointerEx(HANDLE file, LONGLONG distance, DWORD method) const {
  return ::SetFilePointerEx(file, LARGE_INTEGER{.QuadPart = distance}, nullptr, method);
}

BOOL FileCalls::ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) const {
  return ::ReadFile(file, buffer, size, read, nullptr);
}

BOOL FileCalls::WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) const {
  return ::WriteFile(file, buffer, size, written, nullptr);
}

BOOL FileCalls::FlushFileBuffers(HANDLE file) const { return ::FlushFileBuffers(file); }

namespace {

// The code of the call that has just failed: one that failed without saying why has still failed.
DWORD FailureCode() {
  const DWORD code = GetLastError();
  return code != ERROR_SUCCESS ? code : ERROR_GEN_FAILURE;
}

// Why the output's volume cannot take the image, as the write that fails would
// say only after minutes of copying; ERROR_SUCCESS where it can, or where the
// volume does not tell: then a failing write says why.
DWORD RoomRefusal(const FileCalls& calls, HANDLE input, HANDLE output) {
  LONGLONG inputSize = 0;
  if (!calls.GetFileSizeEx(input, &inputSize) || inputSize <= LONGLONG{HeaderSize}) return ERROR_SUCCESS;
  const auto imageSize = static_cast<ULONGLONG>(inputSize) - HeaderSize;
  // FAT keeps a file's size in 32 bits.
  if (std::wstring fileSystem; imageSize > 0xFFFFFFFF && calls.GetFileSystemName(output, &fileSystem) &&
                               (fileSystem == L"FAT" || fileSystem == L"FAT32")) {
    return ERROR_FILE_TOO_LARGE;
  }
  if (ULONGLONG free = 0; calls.GetFreeBytes(output, &free) && free < imageSize) return ERROR_DISK_FULL;
  return ERROR_SUCCESS;
}

// Writes every byte: a short write goes on with the rest until the system
// refuses, so that a full disk is told as a full disk. Returns the refusal's code.
DWORD WriteAll(const FileCalls& calls, HANDLE file, const std::byte* data, DWORD size) {
  while (size > 0) {
    DWORD written = 0;
    if (!calls.WriteFile(file, data, size, &written)) return FailureCode();
    // No progress and no reason: it would never end.
    if (written == 0) return ERROR_WRITE_FAULT;
    data += written;
    size -= written;
  }
  return ERROR_SUCCESS;
}

}  // namespace

CopyOutcome CopyImage(const std::wstring& inFileName, const std::wstring& outFileName, const KeepGoing& keepGoing,
                      const FileCalls& calls) {
  // Declared output first, so that the input is closed first.
  struct {
    win32::UniqueFile output;
    win32::UniqueFile input;
  } files;

  // Names of any length: the system gets the extended form where the classic one would fail.
  files.input.Reset(calls.CreateFile(win32::ExtendedPath(inFileName), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  if (!files.input) return {CopyEnding::InputOpenFailed, FailureCode()};
  files.output.Reset(
      calls.CreateFile(win32::ExtendedPath(outFileName), GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS));
  if (!files.output) return {CopyEnding::OutputOpenFailed, FailureCode()};

  if (const DWORD refused = RoomRefusal(calls, files.input.Get(), files.output.Get()); refused != ERROR_SUCCESS) {
    return {CopyEnding::WriteFailed, refused};
  }
  // A seek that fails would copy the header into the image.
  if (!calls.SetFilePointerEx(files.input.Get(), HeaderSize, FILE_BEGIN)) {
    return {CopyEnding::ReadFailed, FailureCode()};
  }

  const auto buffer = std::make_unique_for_overwrite<std::byte[]>(ChunkSize);
  DWORD bytesRead = 0;
  do {
    if (!calls.ReadFile(files.input.Get(), buffer.get(), ChunkSize, &bytesRead)) {
      return {CopyEnding::ReadFailed, FailureCode()};
    }
    if (const DWORD refused = WriteAll(calls, files.output.Get(), buffer.get(), bytesRead); refused != ERROR_SUCCESS) {
      return {CopyEnding::WriteFailed, refused};
    }
    // Asked before the end test, so that a request during the last, empty read is still heard.
    if (!keepGoing()) return {CopyEnding::Stopped};
  } while (bytesRead > 0);

  // Copied means on the disk: what still sits in the system's cache could yet fail to get there.
  if (!calls.FlushFileBuffers(files.output.Get())) return {CopyEnding::WriteFailed, FailureCode()};
  return {CopyEnding::Copied};
}

}  // namespace modMain
