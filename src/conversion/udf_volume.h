#pragma once
#include <windows.h>

#include <optional>

#include "conversion/sector_reader.h"

namespace modMain {

// Where the UDF volume ends, in bytes: the furthest of its anchor, its main and
// reserve descriptor sequences and its partition, or the file's end where the
// volume was written a file at a time (a VAT). Nothing where Windows would not
// mount it: no anchor, or no sequence that holds a partition and a logical
// volume descriptor before its terminator, each tag checked.
std::optional<ULONGLONG> UdfEnd(SectorReader& reader);

}  // namespace modMain
