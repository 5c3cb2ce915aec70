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
  FILE_BASIC_INFO basic{};
  FILE_STANDARD_INFO standard{};
  if (!calls.GetVolumeSpace(output, outFileName, &volume) ||
      !calls.GetFileInformationByHandleEx(output, FileBasicInfo, &basic, sizeof basic) ||
      !calls.GetFileInformationByHandleEx(output, FileStandardInfo, &standard, sizeof standard)) {
    return ERROR_SUCCESS;
  }
  const bool compressed = (basic.FileAttributes & FILE_ATTRIBUTE_COMPRESSED) != 0;
  // A quota, which charges a file's size whatever it takes on the disk, shows as less room for this user.
  const bool quota = volume.FreeToCaller < volume.FreeOnVolume;
  // A compressed file takes less room than its size: only a quota bounds it.
  if (compressed && !quota) return ERROR_SUCCESS;
  // What the old content of the output gives back once it is emptied, as the quota or the volume counts it.
  const auto replaced =
      static_cast<ULONGLONG>(compressed ? standard.EndOfFile.QuadPart : standard.AllocationSize.QuadPart);
  if (volume.FreeToCaller + replaced < RoundedUp(imageSize, volume.ClusterSize)) return ERROR_DISK_FULL;
  return ERROR_SUCCESS;
}

}  // namespace modMain
