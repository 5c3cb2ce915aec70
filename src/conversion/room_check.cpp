#include "conversion/room_check.h"

#include "conversion/copy_image.h"

namespace modMain {
namespace {

ULONGLONG RoundedUp(ULONGLONG size, ULONGLONG unit) { return unit == 0 ? size : (size + unit - 1) / unit * unit; }

}  // namespace

DWORD RoomRefusal(const FileCalls& calls, HANDLE input, HANDLE output, const std::wstring& outFileName) {
  LONGLONG inputSize = 0;
  if (!calls.GetFileSizeEx(input, &inputSize) || inputSize <= LONGLONG{HeaderSize}) return ERROR_SUCCESS;
  const auto imageSize = static_cast<ULONGLONG>(inputSize) - HeaderSize;
  // FAT keeps a file's size in 32 bits.
  if (std::wstring fileSystem; imageSize > 0xFFFFFFFF && calls.GetFileSystemName(output, &fileSystem) &&
                               (fileSystem == L"FAT" || fileSystem == L"FAT32")) {
    return ERROR_FILE_TOO_LARGE;
  }
  VolumeSpace volume;
  FILE_STANDARD_INFO standard{};
  if (!calls.GetVolumeSpace(output, outFileName, &volume) ||
      !calls.GetFileInformationByHandleEx(output, FileStandardInfo, &standard, sizeof standard)) {
    return ERROR_SUCCESS;
  }
  // Windows mounts an image file only when it is neither compressed nor sparse: it takes its size, in clusters.
  // The old content of the output gives back what it takes once it is emptied.
  const auto replaced = static_cast<ULONGLONG>(standard.AllocationSize.QuadPart);
  if (volume.FreeToCaller + replaced < RoundedUp(imageSize, volume.ClusterSize)) return ERROR_DISK_FULL;
  return ERROR_SUCCESS;
}

}  // namespace modMain
