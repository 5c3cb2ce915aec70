#pragma once
#include <windows.h>

#include <string>

#include "conversion/file_calls.h"

namespace modMain {

// Windows' virtual-disk layer, which mounts an image file from Explorer, refuses
// one stored sparse, compressed or encrypted.

// Clears the sparse and compressed attributes of the output where it has them.
// Meant for the emptied file, where neither change has data to rewrite; a
// refusal is left for the read-back after the copy to tell.
void ClearStoredState(const FileCalls& calls, HANDLE output);

struct StoredState {
  bool Mountable = true;  // neither sparse, compressed nor encrypted
  DWORD ErrorCode = ERROR_SUCCESS;  // the file could not be opened or asked: the system's code
};

// How the finished ISO file is stored, read back from it by name.
StoredState ReadStoredState(const std::wstring& fileName, const FileCalls& calls);

}  // namespace modMain
