#include "win32/system_message.h"

namespace win32 {

std::wstring DescribeSystemError(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer, length);
  LocalFree(buffer);
  // The system text ends with a line break that would split the sentence from its code.
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  const std::wstring number = std::to_wstring(code);
  return text.empty() ? L"Код ошибки " + number + L"." : text + L" (" + number + L")";
}

}  // namespace win32
