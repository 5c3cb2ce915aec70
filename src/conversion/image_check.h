#pragma once
#include <windows.h>

#include <string>

#include "conversion/file_calls.h"

namespace modMain {

// What the file systems at the start of a finished ISO file say of it.
enum class ImageVerdict {
  Mountable,     // an ISO 9660 or UDF file system Windows takes, and the file is as long as its volume
  NoFileSystem,  // nothing Windows could mount: an audio disc, or data that starts elsewhere
  CutShort,      // shorter than a volume it holds: the NRG file was not whole
  MoreThanTheFileSystem,  // another session or track after the volume
  Unreadable,    // the file could not be read back: ErrorCode says why
};

struct ImageCheck {
  ImageVerdict Verdict = ImageVerdict::Mountable;
  DWORD ErrorCode = ERROR_SUCCESS;
};

// Reads back from the disk the ISO file's volume descriptors from sector 16 on
// and, where they announce UDF, its anchor and the descriptor sequences it
// points to, and what follows the volume, up to 1 MiB of it: a handful of
// reads, never the image itself.
ImageCheck CheckImageFile(const std::wstring& fileName, const FileCalls& calls = FileCalls());

}  // namespace modMain
