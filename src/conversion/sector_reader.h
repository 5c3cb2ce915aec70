#pragma once
#include <windows.h>

#include <vector>

#include "conversion/file_calls.h"

namespace modMain {

constexpr ULONGLONG SectorSize = 2048;

// A little-endian field, or the little-endian half of a both-endian one.
ULONGLONG LittleEndian(const unsigned char* bytes, int count);

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
  std::vector<unsigned char> Read(ULONGLONG first, ULONGLONG count);

 private:
  std::vector<unsigned char> Failed();

  HANDLE file_;
  const FileCalls& calls_;
  ULONGLONG fileSize_;
  DWORD error_ = ERROR_SUCCESS;
};

}  // namespace modMain
