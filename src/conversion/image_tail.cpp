#include "conversion/image_tail.h"

#include <algorithm>
#include <vector>

#include "conversion/iso_descriptors.h"

namespace modMain {
namespace {

// Past the image, at most: zeros, then the few kilobytes an NRG file keeps of its own at its very end.
constexpr ULONGLONG TrailerRoom = 1 << 20;
constexpr ULONGLONG TrailerData = 64 << 10;
constexpr ULONGLONG MbrSector = 512;

// Where the partitions of an MBR in the image's first sector end, as far as they lie within the file; 0 where
// there is no MBR: no signature, or an entry whose status is neither 00 nor 80, as in an ISO 9660 system area
// that holds something else.
ULONGLONG PartitionsEnd(SectorReader& reader) {
  const std::vector<unsigned char> first = reader.Read(0, 1);
  if (first.size() < SectorSize || first[510] != 0x55 || first[511] != 0xAA) return 0;
  ULONGLONG end = 0;
  for (std::size_t entry = 446; entry < 510; entry += 16) {
    if ((first[entry] & 0x7F) != 0) return 0;
    const ULONGLONG last = (LittleEndian(&first[entry + 8], 4) + LittleEndian(&first[entry + 12], 4)) * MbrSector;
    if (first[entry + 4] != 0 && last <= reader.FileSize()) end = std::max(end, last);
  }
  return end;
}

}  // namespace

bool OtherTracksFollow(SectorReader& reader, ULONGLONG end) {
  if (reader.FileSize() <= end) return false;
  end = std::max(end, PartitionsEnd(reader));
  if (reader.FileSize() - end > TrailerRoom) return true;
  const ULONGLONG from = end / SectorSize;
  const std::vector<unsigned char> tail = reader.Read(from, reader.Sectors() - std::min(from, reader.Sectors()));
  for (ULONGLONG at = end - from * SectorSize; at < tail.size(); ++at) {
    const ULONGLONG place = from * SectorSize + at;
    if (place % SectorSize == 0 && IsVolumeDescriptor(&tail[at])) return true;  // a later session, however small
    if (tail[at] != 0 && place + TrailerData < reader.FileSize()) return true;
  }
  return false;
}

}  // namespace modMain
