#include "conversion/copy_image.h"

#include <memory>

#include "win32/long_path.h"
#include "win32/unique_handle.h"

namespace modMain {

HANDLE FileCalls::CreateFile(const std::wstring& name, DWORD access, DWORD share, DWORD disposition) const {
  return ::CreateFileW(name.c_str(), access, share, nullptr, disposition, 0, nullptr);
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

namespace {

CopyOutcome Failed(CopyEnding ending, DWORD code) {
  // A call that failed without saying why has still failed.
  return {ending, code != ERROR_SUCCESS ? code : ERROR_GEN_FAILURE};
}

// Writes every byte: a short write goes on with the rest until the system
// refuses, so that a full disk is told as a full disk. Returns the refusal's code.
DWORD WriteAll(const FileCalls& calls, HANDLE file, const std::byte* data, DWORD size) {
  while (size > 0) {
    DWORD written = 0;
    if (!calls.WriteFile(file, data, size, &written)) return GetLastError();
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
  if (!files.input) return Failed(CopyEnding::InputOpenFailed, GetLastError());
  files.output.Reset(
      calls.CreateFile(win32::ExtendedPath(outFileName), GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS));
  if (!files.output) return Failed(CopyEnding::OutputOpenFailed, GetLastError());

  // A seek that fails would copy the header into the image.
  if (!calls.SetFilePointerEx(files.input.Get(), HeaderSize, FILE_BEGIN)) {
    return Failed(CopyEnding::ReadFailed, GetLastError());
  }

  const auto buffer = std::make_unique_for_overwrite<std::byte[]>(ChunkSize);
  DWORD bytesRead = 0;
  do {
    if (!calls.ReadFile(files.input.Get(), buffer.get(), ChunkSize, &bytesRead)) {
      return Failed(CopyEnding::ReadFailed, GetLastError());
    }
    if (const DWORD refused = WriteAll(calls, files.output.Get(), buffer.get(), bytesRead); refused != ERROR_SUCCESS) {
      return Failed(CopyEnding::WriteFailed, refused);
    }
    // Asked before the end test, so that a request during the last, empty read is still heard.
    if (!keepGoing()) return {CopyEnding::Stopped};
  } while (bytesRead > 0);
  return {CopyEnding::Copied};
}

}  // namespace modMain
