#pragma once
#include <windows.h>

#include <optional>
#include <vector>

namespace modMain {

// What the volume descriptors from sector 16 on announce.
struct Recognised {
  std::optional<ULONGLONG> IsoEnd;  // where the ISO 9660 volume ends, in bytes, if Windows would take it
  bool Udf = false;
};

// Goes through the descriptors as read from sector 16 on, whole sectors.
Recognised Recognise(const std::vector<unsigned char>& descriptors);

}  // namespace modMain
