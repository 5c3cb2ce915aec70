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

// Whether the sector holds an ISO 9660 or High Sierra volume descriptor, or one of UDF's recognition sequence.
bool IsVolumeDescriptor(const unsigned char* sector);

// Goes through the descriptors as read from sector 16 on, whole sectors.
Recognised Recognise(const std::vector<unsigned char>& descriptors);

}  // namespace modMain
