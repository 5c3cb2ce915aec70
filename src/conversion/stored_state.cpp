#include "conversion/stored_state.h"

#include <winioctl.h>

#include "win32/unique_handle.h"

namespace modMain {

void ClearStoredState(const FileCalls& calls, HANDLE output) {
  FILE_BASIC_INFO basic{};
  if (!calls.GetFileInformationByHandleEx(output, FileBasicInfo, &basic, sizeof basic)) return;
  if ((basic.FileAttributes & FILE_ATTRIBUTE_SPARSE_FILE) != 0) {
    const FILE_SET_SPARSE_BUFFER notSparse{.SetSparse = FALSE};
    calls.DeviceIoControl(output, FSCTL_SET_SPARSE, &notSparse, sizeof notSparse);
  }
  if ((basic.FileAttributes & FILE_ATTRIBUTE_COMPRESSED) != 0) {
    const USHORT uncompressed = COMPRESSION_FORMAT_NONE;
    calls.DeviceIoControl(output, FSCTL_SET_COMPRESSION, &uncompressed, sizeof uncompressed);
  }
}

StoredState ReadStoredState(const std::wstring& fileName, const FileCalls& calls) {
  const win32::UniqueFile file(
      calls.CreateFile(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
  FILE_BASIC_INFO basic{};
  if (!file || !calls.GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &basic, sizeof basic)) {
    return {.Mountable = false, .ErrorCode = FailureCode()};
  }
  // Encryption is not undone: the user chose it for the folder, and the box says where to save instead.
  constexpr DWORD Unmountable = FILE_ATTRIBUTE_SPARSE_FILE | FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_ENCRYPTED;
  return {.Mountable = (basic.FileAttributes & Unmountable) == 0};
}

}  // namespace modMain
