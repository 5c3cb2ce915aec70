#pragma once
#include <windows.h>

#include <optional>

#include "conversion/sector_reader.h"

namespace modMain {

// Where the UDF volume ends, in bytes: the furthest of its anchor, its main and
// reserve descriptor sequences and its partition. Nothing where Windows would
// not mount it: no anchor, or sequences that hold no partition descriptor.
std::optional<ULONGLONG> UdfEnd(SectorReader& reader);

}  // namespace modMain
