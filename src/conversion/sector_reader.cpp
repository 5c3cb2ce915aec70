#include "conversion/sector_reader.h"

#include <algorithm>

namespace modMain {

ULONGLONG LittleEndian(const unsigned char* bytes, int count) {
  ULONGLONG value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

std::vector<unsigned char> SectorReader::Read(ULONGLONG first, ULONGLONG count) {
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

std::vector<unsigned char> SectorReader::Failed() {
  error_ = FailureCode();
  return {};
}

}  // namespace modMain
