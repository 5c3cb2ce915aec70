#pragma once
#include <windows.h>

#include "conversion/sector_reader.h"

namespace modMain {

// Whether the ISO file holds more than one session or track: past the end of
// its file system, in bytes, there is another session's volume descriptor, or
// data where there could only be padding or the NRG file's own trailer, or more
// than those take. The partitions of a hybrid image, which its MBR (or a GPT's
// protective one) names, are part of the image.
bool OtherTracksFollow(SectorReader& reader, ULONGLONG end);

}  // namespace modMain
