#include "conversion/image_check.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "win32/unique_handle.h"

namespace modMain {
namespace {

constexpr ULONGLONG SectorSize = 2048;
constexpr ULONGLONG FirstDescriptor = 16;
constexpr ULONGLONG MostSectors = 32;  // in one read: of the descriptors, or of one descriptor sequence
constexpr ULONGLONG UdfAnchor = 256;
// Past the file system: an NRG file keeps a few kilobytes of its own after the image data.
constexpr ULONGLONG TrailerRoom = 1 << 20;

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

// A little-endian field, or the little-endian half of a both-endian one.
ULONGLONG LittleEndian(const unsigned char* bytes, int count) {
  ULONGLONG value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

// Reads whole sectors of the open ISO file. After a failed read every read
// gives nothing, and Error() says why the first failed.
class SectorReader {
 public:
  SectorReader(HANDLE file, const FileCalls& calls, ULONGLONG fileSize)
      : file_(file), calls_(calls), fileSize_(fileSize) {}
  ULONGLONG FileSize() const { return fileSize_; }
  ULONGLONG Sectors() const { return fileSize_ / SectorSize; }
  DWORD Error() const { return error_; }

  // Up to count sectors from the first on, as many as the file holds whole.
  std::vector<unsigned char> Read(ULONGLONG first, ULONGLONG count) {
    if (error_ != ERROR_SUCCESS || first >= Sectors()) return {};
    std::vector<unsigned char> sectors(std::min(count, Sectors() - first) * SectorSize);
    if (!calls_.SetFilePointerEx(file_, static_cast<LONGLONG>(first * SectorSize), FILE_BEGIN)) return Failed();
    std::size_t filled = 0;
    for (DWORD read = 1; read > 0 && filled < sectors.size(); filled += read) {
      if (!calls_.ReadFile(file_, sectors.data() + filled, static_cast<DWORD>(sectors.size() - filled), &read)) {
        return Failed();
      }
    }
    return sectors;  // a file cut shorter since its size was asked leaves zeros, which announce nothing
  }

 private:
  std::vector<unsigned char> Failed() {
    error_ = FailureCode();
    return {};
  }

  HANDLE file_;
  const FileCalls& calls_;
  ULONGLONG fileSize_;
  DWORD error_ = ERROR_SUCCESS;
};

// Where an ISO 9660 descriptor's fields start, from its type on; High Sierra's
// descriptor carries the same fields eight bytes further on. Null for any other.
const unsigned char* IsoFields(const unsigned char* sector) {
  if (Identifies(sector, "CD001")) return sector;
  if (Identifies(sector + 8, "CDROM")) return sector + 8;
  return nullptr;
}

// What the descriptors from sector 16 on announce.
struct Recognised {
  std::optional<ULONGLONG> IsoEnd;  // where the ISO 9660 volume ends, in bytes, if Windows would take it
  bool Udf = false;
};

// Goes through the recognition sequence: the ISO 9660 set up to its terminator,
// then UDF's descriptors. Windows takes ISO 9660 only from a primary volume
// descriptor of 2,048-byte blocks; a Joliet one may describe a longer volume.
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

unsigned TagIdentifier(const unsigned char* descriptor) {
  return static_cast<unsigned>(LittleEndian(descriptor, 2));
}

// Where the UDF volume ends, in bytes: the furthest of its anchor, its main and
// reserve descriptor sequences and its partition. Nothing where Windows would
// not mount it: no anchor, or sequences that hold no partition descriptor.
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

// A bridge image is whole only when it holds each of its volumes whole: Windows
// mounts its UDF side, or, where that side is not whole, its ISO 9660 one.
ImageVerdict Judge(SectorReader& reader) {
  const Recognised found = Recognise(reader.Read(FirstDescriptor, MostSectors));
  std::optional<ULONGLONG> end = found.IsoEnd;
  if (const std::optional<ULONGLONG> udfEnd = found.Udf ? UdfEnd(reader) : std::nullopt) {
    end = std::max(end.value_or(0), *udfEnd);
  }
  if (!end) return ImageVerdict::NoFileSystem;
  if (reader.FileSize() < *end) return ImageVerdict::CutShort;
  if (reader.FileSize() - *end > TrailerRoom) return ImageVerdict::MoreThanTheFileSystem;
  return ImageVerdict::Mountable;
}

}  // namespace

ImageCheck CheckImageFile(const std::wstring& fileName, const FileCalls& calls) {
  const win32::UniqueFile file(
      calls.CreateFile(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
  LONGLONG fileSize = 0;
  if (!file || !calls.GetFileSizeEx(file.Get(), &fileSize)) return {ImageVerdict::Unreadable, FailureCode()};
  SectorReader reader(file.Get(), calls, static_cast<ULONGLONG>(fileSize));
  const ImageVerdict verdict = Judge(reader);
  if (reader.Error() != ERROR_SUCCESS) return {ImageVerdict::Unreadable, reader.Error()};
  return {verdict};
}

}  // namespace modMain
