#pragma once
#include <windows.h>

#include <string>

#include "conversion/file_calls.h"
#include "conversion/flush_thread.h"

namespace modMain {

// Bytes skipped at the start of an NRG image; also the expected difference
// between the input and output sizes.
inline constexpr unsigned long HeaderSize = 307200;
// Bytes requested by each read.
inline constexpr unsigned long ChunkSize = 65536;

// How a copy ended; the failures name the file call that failed.
enum class CopyEnding { Copied, Stopped, InputOpenFailed, OutputOpenFailed, ReadFailed, WriteFailed };

struct CopyOutcome {
  CopyEnding Ending = CopyEnding::Copied;
  DWORD ErrorCode = ERROR_SUCCESS;  // the system's code for a failure
};

// Copies the input from HeaderSize to its end into the output, which is
// created, or emptied only once the copy goes ahead: the output is not
// created when the input cannot be opened, and an existing one stays as it
// was when the image is refused or the input cannot be read from its start.
// An image that the output's volume cannot hold (a file of 4 GiB or more on
// FAT, more than the room) fails as a write before any byte moves. The output
// is flushed in steps as it grows, and a copy ends only once all of it is on
// the disk; each flush runs on a thread of the thread pool while the window is
// served. Once emptied, the output is made neither sparse nor compressed where
// it was; a refusal does not stop the copy. Both files are closed, the
// input first, before it returns. A stopped or failed copy leaves what it
// wrote on disk. The names go to the file calls as they are.
CopyOutcome CopyImage(const std::wstring& inFileName, const std::wstring& outFileName, const Turns& turns,
                      const FileCalls& calls = FileCalls());

}  // namespace modMain
