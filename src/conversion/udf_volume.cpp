#include "conversion/udf_volume.h"

#include <algorithm>
#include <vector>

namespace modMain {
namespace {

constexpr ULONGLONG UdfAnchor = 256;
constexpr ULONGLONG MostSectors = 32;  // read of one descriptor sequence

unsigned TagIdentifier(const unsigned char* descriptor) {
  return static_cast<unsigned>(LittleEndian(descriptor, 2));
}

}  // namespace

std::optional<ULONGLONG> UdfEnd(SectorReader& reader) {
  std::vector<unsigned char> anchor;
  ULONGLONG at = 0;
  // In a file of fewer sectors the places counted from its end wrap round past it, where nothing is read.
  for (const ULONGLONG place : {UdfAnchor, reader.Sectors() - 1, reader.Sectors() - 1 - UdfAnchor}) {
    anchor = reader.Read(place, 1);
    at = place;
    if (!anchor.empty() && TagIdentifier(anchor.data()) == 2 && LittleEndian(anchor.data() + 12, 4) == at) break;
    anchor.clear();
  }
  if (anchor.empty()) return std::nullopt;
  ULONGLONG end = (at + 1) * SectorSize;
  bool partition = false;
  for (const int extent : {16, 24}) {  // the main sequence, then the reserve one: length in bytes, location
    const ULONGLONG length = LittleEndian(anchor.data() + extent, 4);
    const ULONGLONG location = LittleEndian(anchor.data() + extent + 4, 4);
    end = std::max(end, location * SectorSize + length);
    const std::vector<unsigned char> sequence =
        reader.Read(location, std::min((length + SectorSize - 1) / SectorSize, MostSectors));
    for (std::size_t i = 0; i < sequence.size(); i += SectorSize) {
      if (TagIdentifier(sequence.data() + i) != 5) continue;
      partition = true;
      end = std::max(end, (LittleEndian(&sequence[i + 188], 4) + LittleEndian(&sequence[i + 192], 4)) * SectorSize);
    }
  }
  // Sequences that run past the file are a file cut short, whatever they hold.
  if (!partition && end <= reader.FileSize()) return std::nullopt;
  return end;
}

}  // namespace modMain
