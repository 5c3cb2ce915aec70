#include "conversion/image_check.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "win32/unique_handle.h"

namespace modMain {
namespace {

constexpr std::size_t SectorSize = 2048;
constexpr std::size_t FirstDescriptor = 16 * SectorSize;
constexpr std::size_t MostDescriptors = 32;

// What a descriptor of the recognition sequence in front of a UDF file system
// carries in its bytes 1 to 5, where an ISO 9660 one carries "CD001".
constexpr std::array<const char*, 6> UdfIdentifiers = {"BEA01", "NSR02", "NSR03", "TEA01", "BOOT2", "CDW02"};

bool Identifies(const unsigned char* sector, const char* identifier) {
  return std::memcmp(sector + 1, identifier, 5) == 0;
}

bool IsUdfDescriptor(const unsigned char* sector) {
  return std::ranges::any_of(UdfIdentifiers,
                             [sector](const char* identifier) { return Identifies(sector, identifier); });
}

// The little-endian half of a both-endian field.
ULONGLONG LittleEndian(const unsigned char* bytes, int count) {
  ULONGLONG value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

ImageVerdict Judge(const std::vector<unsigned char>& descriptors, ULONGLONG fileSize) {
  const std::size_t sectors = descriptors.size() / SectorSize;
  if (sectors == 0) return ImageVerdict::NoFileSystem;
  if (!Identifies(descriptors.data(), "CD001") && !IsUdfDescriptor(descriptors.data())) {
    return ImageVerdict::NoFileSystem;
  }
  for (std::size_t i = 0; i < sectors; ++i) {
    const unsigned char* sector = descriptors.data() + i * SectorSize;
    if (IsUdfDescriptor(sector)) continue;
    if (!Identifies(sector, "CD001")) break;
    const unsigned char type = sector[0];
    if (type == 255) break;  // the set's terminator
    // The primary volume descriptor: the volume's size in blocks and the block's size.
    if (type == 1 && sector[6] == 1 && fileSize < LittleEndian(sector + 80, 4) * LittleEndian(sector + 128, 2)) {
      return ImageVerdict::CutShort;
    }
  }
  return ImageVerdict::Mountable;
}

}  // namespace

ImageCheck CheckImageFile(const std::wstring& fileName, const FileCalls& calls) {
  const win32::UniqueFile file(
      calls.CreateFile(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
  LONGLONG fileSize = 0;
  if (!file || !calls.GetFileSizeEx(file.Get(), &fileSize) ||
      !calls.SetFilePointerEx(file.Get(), FirstDescriptor, FILE_BEGIN)) {
    return {ImageVerdict::Unreadable, FailureCode()};
  }
  // Whole sectors only: a file that ends inside one has no descriptor there.
  std::vector<unsigned char> descriptors(MostDescriptors * SectorSize);
  std::size_t filled = 0;
  for (DWORD read = 1; read > 0 && filled < descriptors.size(); filled += read) {
    if (!calls.ReadFile(file.Get(), descriptors.data() + filled, static_cast<DWORD>(descriptors.size() - filled),
                        &read)) {
      return {ImageVerdict::Unreadable, FailureCode()};
    }
  }
  descriptors.resize(filled - filled % SectorSize);
  return {Judge(descriptors, static_cast<ULONGLONG>(fileSize))};
}

}  // namespace modMain
