#include "support/error_reporter.h"

#include "forms/message_box.h"
#include "win32/system_message.h"

namespace support::ErrorReporter {

void ShowError(DWORD errorCode, UINT style, const std::wstring& message) {
  forms::MsgBox(message + L"\r\n\r\n" + win32::DescribeSystemError(errorCode), style);
}

}  // namespace support::ErrorReporter
