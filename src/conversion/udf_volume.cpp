#include "conversion/udf_volume.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace modMain {
namespace {

constexpr ULONGLONG UdfAnchor = 256;
constexpr ULONGLONG MostSectors = 32;  // read of one descriptor sequence
constexpr ULONGLONG PartitionMaps = 440;  // in a logical volume descriptor
constexpr char VirtualPartition[] = "*UDF Virtual Partition";

// The identifier of the descriptor at the head of this sector; 0 where its tag is not one: a checksum that does
// not add up, or a place that is not this sector (a copy of a descriptor, or an unrecorded sector).
unsigned TagAt(const unsigned char* descriptor, ULONGLONG sector) {
  unsigned sum = 0;
  for (int i = 0; i < 16; ++i) sum += i == 4 ? 0 : descriptor[i];
  if ((sum & 0xFF) != descriptor[4] || LittleEndian(descriptor + 12, 4) != sector) return 0;
  return static_cast<unsigned>(LittleEndian(descriptor, 2));
}

// A disc written a file at a time keeps where its blocks are in a virtual allocation table in its last recorded
// sector; its logical volume says so by a partition map of type 2 of this name.
bool MapsAVirtualPartition(const unsigned char* logical) {
  const ULONGLONG end = PartitionMaps + std::min(LittleEndian(logical + 264, 4), SectorSize - PartitionMaps);
  for (ULONGLONG at = PartitionMaps; at + 2 <= end && logical[at + 1] >= 2; at += logical[at + 1]) {
    const bool named = at + 64 <= end && std::memcmp(logical + at + 5, VirtualPartition, sizeof VirtualPartition - 1) == 0;
    if (logical[at] == 2 && named) return true;
  }
  return false;
}

}  // namespace

std::optional<ULONGLONG> UdfEnd(SectorReader& reader) {
  std::vector<unsigned char> anchor;
  ULONGLONG at = 0;
  // In a file of fewer sectors the places counted from its end wrap round past it, where nothing is read.
  for (const ULONGLONG place : {UdfAnchor, reader.Sectors() - 1, reader.Sectors() - 1 - UdfAnchor}) {
    anchor = reader.Read(place, 1);
    at = place;
    if (!anchor.empty() && TagAt(anchor.data(), at) == 2) break;
    anchor.clear();
  }
  if (anchor.empty()) return std::nullopt;
  ULONGLONG end = (at + 1) * SectorSize;
  ULONGLONG partitionEnd = 0;
  bool volume = false;
  bool virtualPartition = false;
  for (const int extent : {16, 24}) {  // the main sequence, then the reserve one: length in bytes, location
    const ULONGLONG length = LittleEndian(anchor.data() + extent, 4);
    const ULONGLONG location = LittleEndian(anchor.data() + extent + 4, 4);
    end = std::max(end, location * SectorSize + length);
    const std::vector<unsigned char> sequence =
        reader.Read(location, std::min((length + SectorSize - 1) / SectorSize, MostSectors));
    bool partition = false;
    bool logical = false;
    // The sequence ends at its terminator or at the first sector that is no descriptor: what follows is stale.
    for (std::size_t i = 0; i < sequence.size(); i += SectorSize) {
      const unsigned char* descriptor = &sequence[i];
      const unsigned tag = TagAt(descriptor, location + i / SectorSize);
      if (tag == 0 || tag == 8) break;
      if (tag == 5) {
        partition = true;
        const ULONGLONG start = LittleEndian(descriptor + 188, 4);
        const ULONGLONG sectors = LittleEndian(descriptor + 192, 4);
        partitionEnd = std::max(partitionEnd, (start + sectors) * SectorSize);
      } else if (tag == 6) {
        logical = true;
        virtualPartition = virtualPartition || MapsAVirtualPartition(descriptor);
      }
    }
    volume = volume || (partition && logical);  // nothing mounts without both
  }
  // Sequences that run past the file are a file cut short, whatever they hold.
  if (!volume && end <= reader.FileSize()) return std::nullopt;
  // Written a file at a time, the partition is the blank disc's: what was written ends where the file does.
  return std::max(end, virtualPartition ? reader.FileSize() : partitionEnd);
}

}  // namespace modMain
