#pragma once
#include <windows.h>

#include <string>

#include "conversion/file_calls.h"

namespace modMain {

// What the file system at the start of a finished ISO file says of it.
enum class ImageVerdict {
  Mountable,    // an ISO 9660 or UDF file system, and the file is as long as its volume
  NoFileSystem,  // nothing Windows could mount: an audio disc, or data that starts elsewhere
  CutShort,     // shorter than its ISO 9660 volume: the NRG file was not whole
  Unreadable,   // the file could not be read back: ErrorCode says why
};

struct ImageCheck {
  ImageVerdict Verdict = ImageVerdict::Mountable;
  DWORD ErrorCode = ERROR_SUCCESS;
};

// Reads the ISO file's volume descriptors back from the disk, from sector 16
// to the set's terminator (a few dozen at most), and judges them; the rest of
// the file is not read.
ImageCheck CheckImageFile(const std::wstring& fileName, const FileCalls& calls = FileCalls());

}  // namespace modMain
