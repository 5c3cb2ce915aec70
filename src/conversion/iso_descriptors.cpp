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

bool IsVolumeDescriptor(const unsigned char* sector) { return IsoFields(sector) != nullptr || IsUdfDescriptor(sector); }

// As CDFS mounts: by the first primary descriptor of the set, found before its terminator and before any sector
// that is no descriptor of version 1, or, on ISO 9660, by the set's first Joliet one; a block size other than
// 2,048 in the one it mounts by refuses the volume. UDF's recognition sequence follows the set.
Recognised Recognise(const std::vector<unsigned char>& descriptors) {
  const auto sectors = [&](auto&& take) {
    for (std::size_t at = 0; at < descriptors.size(); at += SectorSize) {
      if (!take(descriptors.data() + at)) return;
    }
  };
  const auto ofTheSet = [](const unsigned char* iso) { return iso != nullptr && iso[6] == 1 && iso[0] != 255; };
  const unsigned char* primary = nullptr;
  sectors([&](const unsigned char* sector) {
    const unsigned char* iso = IsoFields(sector);
    if (!ofTheSet(iso)) return false;
    if (iso[0] == 1) primary = iso;
    return primary == nullptr;
  });
  const unsigned char* joliet = nullptr;
  sectors([&](const unsigned char* sector) {  // a High Sierra sector ends this walk: no Joliet there
    if (primary == nullptr || !Identifies(sector, "CD001") || !ofTheSet(sector)) return false;
    const bool escape = std::memcmp(sector + 88, "%/", 2) == 0 &&
                        (sector[90] == '@' || sector[90] == 'C' || sector[90] == 'E');
    if (sector[0] == 2 && escape) joliet = sector;
    return joliet == nullptr;
  });
  Recognised found;
  sectors([&](const unsigned char* sector) {
    found.Udf = found.Udf || Identifies(sector, "NSR02") || Identifies(sector, "NSR03");
    return IsVolumeDescriptor(sector);
  });
  const auto end = [](const unsigned char* iso) { return LittleEndian(iso + 80, 4) * LittleEndian(iso + 128, 2); };
  const unsigned char* mounted = joliet != nullptr ? joliet : primary;
  if (mounted != nullptr && LittleEndian(mounted + 128, 2) == SectorSize) {
    found.IsoEnd = std::max(end(primary), joliet != nullptr ? end(joliet) : ULONGLONG{0});
  }
  return found;
}

}  // namespace modMain
