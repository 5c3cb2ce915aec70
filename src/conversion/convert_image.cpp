#include "conversion/convert_image.h"

#include <windows.h>

#include "conversion/copy_image.h"
#include "conversion/image_check.h"
#include "conversion/run_flags.h"
#include "conversion/stored_state.h"
#include "forms/event_pump.h"
#include "forms/message_box.h"
#include "support/error_reporter.h"
#include "support/support_functions.h"
#include "win32/failure.h"
#include "win32/file_name.h"
#include "win32/keep_awake.h"
#include "win32/long_path.h"

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
const std::wstring NoFileSystemText =
    std::wstring(L"Что-то пошло не так! NRG файл сконвертирован, но в ISO файле нет файловой системы ") +
    L"ISO 9660 или UDF, и Windows не сможет его подключить. Скорее всего, это образ аудиодиска или " +
    L"диска с несколькими дорожками или сессиями.";
const std::wstring CutShortText = std::wstring(L"Что-то пошло не так! NRG файл сконвертирован, но ISO файл меньше, ") +
                                  L"чем указано в его файловой системе. Скорее всего, NRG файл неполный.";
const std::wstring StoredText =
    std::wstring(L"Что-то пошло не так! NRG файл сконвертирован, но ISO файл сохранён сжатым, ") +
    L"разреженным или зашифрованным, и Windows не сможет его подключить. Сохраните его в папку без " +
    L"сжатия и шифрования.";
const std::wstring MoreThanTheFileSystemText =
    std::wstring(L"Что-то пошло не так! NRG файл сконвертирован, но после файловой системы в нём есть ") +
    L"другие дорожки или сессии. Windows покажет в ISO файле только файлы первой сессии.";

// Between chunks, serves the window; during a flush, first sleeps until it has something or the flush has ended:
// no timer and no busy loop.
void Serve(HANDLE flushEnded) {
  if (flushEnded != nullptr) MsgWaitForMultipleObjectsEx(1, &flushEnded, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  forms::DoEvents();
}

// When the user asked to stop, asks whether to.
bool AskToGoOn() {
  if (!CancelRequested) return true;
  if (forms::MsgBox(StopPrompt, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDCANCEL) return false;
  CancelRequested = false;
  return true;
}

// The copy itself keeps the machine awake; the machine may sleep again once it
// has ended, not only once the user has read the outcome.
CopyOutcome CopyKeepingAwake(const std::wstring& inFileName, const std::wstring& outFileName,
                             const FileCalls& calls) {
  const win32::KeepSystemAwake awake;
  return CopyImage(inFileName, outFileName, {.Serve = Serve, .KeepGoing = AskToGoOn}, calls);
}

// Compares the sizes of the finished files, then reads back what Windows
// would mount the ISO file by, and tells the user.
void ReportOutcome(const std::wstring& inFileName, const std::wstring& outFileName, const FileCalls& calls) {
  double difference = 0;
  try {
    const double inputSize = support::ksGetFileSizeEx(inFileName);
    difference = inputSize - support::ksGetFileSizeEx(outFileName);
  } catch (const win32::Failure& failure) {
    // A file removed or replaced since the copy: no success, and no reason to end the program either.
    support::ErrorReporter::ShowError(failure.Code(), MB_ICONERROR, SizeMismatchText);
    return;
  }
  if (difference != static_cast<double>(HeaderSize)) {
    forms::MsgBox(SizeMismatchText, MB_ICONERROR);
    return;
  }
  // Equal sizes say only that every read and write worked. How the file is stored is read first, then its file
  // system; a file that cannot be read back is told before any warning.
  const StoredState stored = ReadStoredState(outFileName, calls);
  const ImageCheck check = stored.ErrorCode == ERROR_SUCCESS ? CheckImageFile(outFileName, calls)
                                                             : ImageCheck{ImageVerdict::Unreadable, stored.ErrorCode};
  if (check.Verdict == ImageVerdict::Unreadable) {
    // The file just written cannot be read back: a check that cannot run is no success.
    support::ErrorReporter::ShowError(check.ErrorCode, MB_ICONERROR, FailureMessage(CopyEnding::OutputOpenFailed));
  } else if (check.Verdict == ImageVerdict::NoFileSystem) {
    forms::MsgBox(NoFileSystemText, MB_ICONWARNING);
  } else if (check.Verdict == ImageVerdict::CutShort) {
    forms::MsgBox(CutShortText, MB_ICONWARNING);
  } else if (!stored.Mountable) {
    forms::MsgBox(StoredText, MB_ICONWARNING);
  } else if (check.Verdict == ImageVerdict::MoreThanTheFileSystem) {
    forms::MsgBox(MoreThanTheFileSystemText, MB_ICONWARNING);
  } else {
    forms::MsgBox(SuccessText, MB_ICONINFORMATION);
  }
}

}  // namespace

void ConvertImage(std::wstring inFileName, std::wstring outFileName, const FileCalls& calls) {
  // The names every file call of this conversion gets, the size query's included:
  // without quotes, and in the form the system takes at any length.
  inFileName = win32::ExtendedPath(win32::Unquoted(inFileName));
  outFileName = win32::ExtendedPath(win32::Unquoted(outFileName));
  const CopyOutcome outcome = CopyKeepingAwake(inFileName, outFileName, calls);
  if (outcome.Ending == CopyEnding::Copied) {
    ReportOutcome(inFileName, outFileName, calls);
  } else if (const wchar_t* message = FailureMessage(outcome.Ending)) {
    support::ErrorReporter::ShowError(outcome.ErrorCode, MB_ICONERROR, message);
  }
  CancelRequested = false;
}

}  // namespace modMain
