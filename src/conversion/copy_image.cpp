#include "conversion/copy_image.h"

#include <memory>

#include "conversion/flush_steps.h"
#include "conversion/room_check.h"
#include "conversion/stored_state.h"
#include "win32/unique_handle.h"

namespace modMain {
namespace {

// Writes every byte: a short write goes on with the rest until the system
// refuses, so that a full disk is told as a full disk. Returns the refusal's code.
DWORD WriteAll(const FileCalls& calls, HANDLE file, const std::byte* data, DWORD size) {
  while (size > 0) {
    DWORD written = 0;
    if (!calls.WriteFile(file, data, size, &written)) return FailureCode();
    // No progress and no reason: it would never end.
    if (written == 0) return ERROR_WRITE_FAULT;
    data += written;
    size -= written;
  }
  return ERROR_SUCCESS;
}

// Waits until what was written is on the disk, serving the window meanwhile, and tells the steps how long that
// took. A stop confirmed meanwhile is a stop, whatever the flush came to.
CopyOutcome Flush(const FileCalls& calls, HANDLE file, FlushSteps& steps, const Turns& turns) {
  const auto from = calls.Now();
  const FlushEnding flushed = FlushServing(calls, file, turns);
  if (flushed.Stopped) return {CopyEnding::Stopped};
  if (flushed.ErrorCode != ERROR_SUCCESS) return {CopyEnding::WriteFailed, flushed.ErrorCode};
  steps.Flushed(calls.Now() - from);
  return {CopyEnding::Copied};
}

}  // namespace

CopyOutcome CopyImage(const std::wstring& inFileName, const std::wstring& outFileName, const Turns& turns,
                      const FileCalls& calls) {
  // Declared output first, so that the input is closed first.
  struct {
    win32::UniqueFile output;
    win32::UniqueFile input;
  } files;

  files.input.Reset(calls.CreateFile(inFileName, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  if (!files.input) return {CopyEnding::InputOpenFailed, FailureCode()};
  // Opened as it is: an existing file is emptied only once the copy goes ahead. Read access too, without
  // which the system refuses the control code that clears compression.
  files.output.Reset(calls.CreateFile(outFileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS));
  if (!files.output) return {CopyEnding::OutputOpenFailed, FailureCode()};

  if (const DWORD refused = RoomRefusal(calls, files.input.Get(), files.output.Get(), outFileName);
      refused != ERROR_SUCCESS) {
    return {CopyEnding::WriteFailed, refused};
  }
  // A seek that fails would copy the header into the image.
  if (!calls.SetFilePointerEx(files.input.Get(), HeaderSize, FILE_BEGIN)) {
    return {CopyEnding::ReadFailed, FailureCode()};
  }
  if (!calls.SetEndOfFile(files.output.Get())) return {CopyEnding::WriteFailed, FailureCode()};
  // Stored compressed, as its folder may ask, or sparse, as its old content may have left it, it would not mount.
  ClearStoredState(calls, files.output.Get());

  const auto buffer = std::make_unique_for_overwrite<std::byte[]>(ChunkSize);
  FlushSteps flushSteps;
  DWORD bytesRead = 0;
  do {
    if (!calls.ReadFile(files.input.Get(), buffer.get(), ChunkSize, &bytesRead)) {
      return {CopyEnding::ReadFailed, FailureCode()};
    }
    if (const DWORD refused = WriteAll(calls, files.output.Get(), buffer.get(), bytesRead); refused != ERROR_SUCCESS) {
      return {CopyEnding::WriteFailed, refused};
    }
    // In steps, so that the cache holds little and the final flush comes soon after the last byte.
    if (flushSteps.Wrote(bytesRead)) {
      if (const CopyOutcome flushed = Flush(calls, files.output.Get(), flushSteps, turns);
          flushed.Ending != CopyEnding::Copied) {
        return flushed;
      }
    }
    // Asked before the end test, so that a request during the last, empty read is still heard.
    turns.Serve(nullptr);
    if (!turns.KeepGoing()) return {CopyEnding::Stopped};
  } while (bytesRead > 0);

  // Copied means on the disk: what still sits in the system's cache could yet fail to get there.
  return Flush(calls, files.output.Get(), flushSteps, turns);
}

}  // namespace modMain
