#pragma once
#include <windows.h>

#include <string>

#include "conversion/file_calls.h"

namespace modMain {

// Why the output's volume cannot take the image data, as the write that fails
// would say only after minutes of copying: ERROR_FILE_TOO_LARGE for a file of
// 4 GiB or more on FAT, ERROR_DISK_FULL for more than the room. The output is
// still as it was: the room its old content takes counts as free. ERROR_SUCCESS
// where it fits, or where the volume does not tell: then a failing write says why.
DWORD RoomRefusal(const FileCalls& calls, HANDLE input, HANDLE output, const std::wstring& outFileName);

}  // namespace modMain
