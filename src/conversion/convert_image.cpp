#include "conversion/convert_image.h"

#include <windows.h>

#include "conversion/copy_image.h"
#include "conversion/run_flags.h"
#include "forms/event_pump.h"
#include "forms/message_box.h"
#include "support/error_reporter.h"
#include "support/support_functions.h"
#include "win32/failure.h"
#include "win32/file_name.h"
#include "win32/keep_awake.h"

namespace modMain {
namespace {

const wchar_t* FailureMessage(CopyEnding ending) {
  switch (ending) {
    case CopyEnding::InputOpenFailed:
      return L"Не удаётся открыть NRG файл.";
    case CopyEnding::OutputOpenFailed:
      return L"Не удаётся открыть ISO файл.";
    case CopyEnding::ReadFailed:
      return L"Не удаётся прочитать из NRG файла.";
    case CopyEnding::WriteFailed:
      return L"Не удаётся записать в ISO файл.";
    default:
      return nullptr;
  }
}

const std::wstring StopPrompt = std::wstring(L"Прервать конвертацию?") + L"\r\n\r\n" + L"ISO файл, скорее всего, " +
                                L"будет неполным и непригодным к использованию. Вы можете удалить " +
                                L"его самостоятельно.";
const std::wstring SuccessText = L"NRG файл сконвертирован успешно ^_^v";
const std::wstring SizeMismatchText =
    std::wstring(L"Что-то пошло не так! NRG файл сконвертирован, но размер ") + L"отличается от ожидаемого.";

// Between chunks: serve the window, and when the user asked to stop, ask whether to.
bool ServeAndAskToGoOn() {
  forms::DoEvents();
  if (!CancelRequested) return true;
  if (forms::MsgBox(StopPrompt, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDCANCEL) return false;
  CancelRequested = false;
  return true;
}

// The copy itself keeps the machine awake; the machine may sleep again once it
// has ended, not only once the user has read the outcome.
CopyOutcome CopyKeepingAwake(const std::wstring& inFileName, const std::wstring& outFileName) {
  const win32::KeepSystemAwake awake;
  return CopyImage(inFileName, outFileName, ServeAndAskToGoOn);
}

// Compares the sizes of the finished files and tells the user.
void ReportSizes(const std::wstring& inFileName, const std::wstring& outFileName) {
  double difference = 0;
  try {
    difference = support::ksGetFileSizeEx(inFileName) - support::ksGetFileSizeEx(outFileName);
  } catch (const win32::Failure& failure) {
    // A file removed or replaced since the copy: no success, and no reason to end the program either.
    support::ErrorReporter::ShowError(failure.Code(), MB_ICONERROR, SizeMismatchText);
    return;
  }
  if (difference == static_cast<double>(HeaderSize)) {
    forms::MsgBox(SuccessText, MB_ICONINFORMATION);
  } else {
    forms::MsgBox(SizeMismatchText, MB_ICONERROR);
  }
}

}  // namespace

void ConvertImage(std::wstring inFileName, std::wstring outFileName) {
  inFileName = win32::Unquoted(inFileName);
  outFileName = win32::Unquoted(outFileName);
  const CopyOutcome outcome = CopyKeepingAwake(inFileName, outFileName);
  if (outcome.Ending == CopyEnding::Copied) {
    ReportSizes(inFileName, outFileName);
  } else if (const wchar_t* message = FailureMessage(outcome.Ending)) {
    support::ErrorReporter::ShowError(outcome.ErrorCode, MB_ICONERROR, message);
  }
  CancelRequested = false;
}

}  // namespace modMain
