#include "conversion/convert_image.h"

#include <windows.h>

#include <memory>

#include "conversion/file_functions.h"
#include "conversion/messages.h"
#include "conversion/run_flags.h"
#include "forms/event_pump.h"
#include "forms/message_box.h"
#include "support/error_reporter.h"
#include "support/failure.h"
#include "support/support_functions.h"

namespace modMain {
namespace {

// A file handle of the conversion, closed through the same file functions
// that opened it.
class OpenFile {
 public:
  OpenFile() = default;
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  ~OpenFile() { Close(); }

  void Attach(HANDLE handle) { handle_ = handle; }
  HANDLE Get() const { return handle_; }
  bool IsOpen() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (IsOpen()) (*FileFunctionsSeam).CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// Input and output; the input is always closed first.
struct OpenFiles {
  OpenFile input;
  OpenFile output;

  ~OpenFiles() { CloseBoth(); }
  void CloseBoth() {
    input.Close();
    output.Close();
  }
};

void ReportFailure(DWORD errorCode, const wchar_t* message) {
  support::TheErrorReporter().ShowError(errorCode, MB_ICONERROR, message);
}

// What the user answered to the stop prompt.
bool UserConfirmsStop() { return forms::MsgBox(StopPromptText, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDCANCEL; }

// Compares the sizes of the finished files and tells the user.
void ReportOutcome(const std::wstring& inFileName, const std::wstring& outFileName) {
  double inSize = 0;
  double outSize = 0;
  try {
    inSize = support::ksGetFileSizeEx(inFileName);
    outSize = support::ksGetFileSizeEx(outFileName);
  } catch (const support::Failure& failure) {
    // A file removed or replaced since the copy: that is no success, and no
    // reason to end the program either.
    ReportFailure(failure.Code(), SizeMismatchText);
    return;
  }
  if (inSize - outSize == static_cast<double>(HeaderSize)) {
    forms::MsgBox(SuccessText, MB_ICONINFORMATION);
  } else {
    forms::MsgBox(SizeMismatchText, MB_ICONERROR);
  }
}

// The copy and its outcome, with every failure reported. Returns when done;
// the handles close on the way out, whichever way that is.
void CopyImage(const std::wstring& inFileName, const std::wstring& outFileName) {
  const FileFunctions& files = *FileFunctionsSeam;
  OpenFiles open;

  open.input.Attach(files.CreateFile(inFileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
  if (open.input.Get() == INVALID_HANDLE_VALUE) return ReportFailure(GetLastError(), InputOpenFailedText);

  open.output.Attach(files.CreateFile(outFileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0,
                                      nullptr));
  if (open.output.Get() == INVALID_HANDLE_VALUE) return ReportFailure(GetLastError(), OutputOpenFailedText);

  files.SetFilePointer(open.input.Get(), static_cast<LONG>(HeaderSize), nullptr, FILE_BEGIN);

  const auto buffer = std::make_unique_for_overwrite<std::byte[]>(ChunkSize);
  DWORD bytesRead = 0;
  do {
    if (!files.ReadFile(open.input.Get(), buffer.get(), ChunkSize, &bytesRead, nullptr)) {
      return ReportFailure(GetLastError(), ReadFailedText);
    }
    if (bytesRead > 0) {
      DWORD bytesWritten = 0;
      if (!files.WriteFile(open.output.Get(), buffer.get(), bytesRead, &bytesWritten, nullptr)) {
        return ReportFailure(GetLastError(), WriteFailedText);
      }
      // Bytes left out of the image would make it unusable without a word.
      if (bytesWritten != bytesRead) return ReportFailure(ERROR_WRITE_FAULT, WriteFailedText);
    }

    forms::DoEvents();
    // Checked before the end test, so a request during the last, empty read still asks.
    if (CancelRequested) {
      if (UserConfirmsStop()) return;
      CancelRequested = support::False;
    }
  } while (bytesRead > 0);

  open.CloseBoth();
  ReportOutcome(inFileName, outFileName);
}

}  // namespace

void ConvertImage(std::wstring inFileName, std::wstring outFileName) {
  CopyImage(inFileName, outFileName);
  CancelRequested = support::False;
}

}  // namespace modMain
