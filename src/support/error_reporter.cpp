#include "support/error_reporter.h"

#include "forms/message_box.h"
#include "support/system_message.h"

namespace support {

void ErrorReporter::ShowError(DWORD errorCode, UINT style, const std::wstring& message) const {
  forms::MsgBox(message + L"\r\n\r\n" + DescribeSystemError(errorCode), style);
}

ErrorReporter& TheErrorReporter() {
  static ErrorReporter reporter;
  return reporter;
}

}  // namespace support
