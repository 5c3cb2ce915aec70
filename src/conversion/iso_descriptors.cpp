#include "conversion/iso_descriptors.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "conversion/sector_reader.h"

namespace modMain {
namespace {

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

// Where an ISO 9660 descriptor's fields start, from its type on; High Sierra's
// descriptor carries the same fields eight bytes further on. Null for any other.
const unsigned char* IsoFields(const unsigned char* sector) {
  if (Identifies(sector, "CD001")) return sector;
  if (Identifies(sector + 8, "CDROM")) return sector + 8;
  return nullptr;
}

}  // namespace

// The ISO 9660 set up to its terminator, then UDF's descriptors. Windows takes
// ISO 9660 only from a primary volume descriptor of 2,048-byte blocks; a Joliet
// one may describe a longer volume.
Recognised Recognise(const std::vector<unsigned char>& descriptors) {
  Recognised found;
  bool primary = false;
  bool setEnded = false;
  ULONGLONG isoEnd = 0;
  for (std::size_t at = 0; at < descriptors.size(); at += SectorSize) {
    const unsigned char* sector = descriptors.data() + at;
    const unsigned char* iso = IsoFields(sector);
    if (iso == nullptr) {
      if (!IsUdfDescriptor(sector)) break;
      found.Udf = found.Udf || Identifies(sector, "NSR02") || Identifies(sector, "NSR03");
      continue;
    }
    if (setEnded || iso[6] != 1) continue;
    setEnded = iso[0] == 255;
    const bool joliet = iso == sector && iso[0] == 2 && std::memcmp(iso + 88, "%/", 2) == 0 &&
                        (iso[90] == '@' || iso[90] == 'C' || iso[90] == 'E');
    if (iso[0] == 1) primary = LittleEndian(iso + 128, 2) == SectorSize;
    if (iso[0] == 1 || joliet) isoEnd = std::max(isoEnd, LittleEndian(iso + 80, 4) * LittleEndian(iso + 128, 2));
  }
  if (primary) found.IsoEnd = isoEnd;
  return found;
}

}  // namespace modMain
