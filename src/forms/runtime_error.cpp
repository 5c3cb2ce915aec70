#include "forms/runtime_error.h"

#include <windows.h>

#include <string>
#include <utility>

#include "forms/message_box.h"
#include "win32/failure.h"
#include "win32/system_message.h"

namespace forms {
namespace {

std::wstring Widen(const char* text) {
  std::wstring wide;
  for (; *text != '\0'; ++text) wide.push_back(static_cast<unsigned char>(*text));
  return wide;
}

std::wstring Describe(std::exception_ptr error) {
  try {
    std::rethrow_exception(std::move(error));
  } catch (const win32::Failure& failure) {
    return Widen(failure.what()) + L": " + win32::DescribeSystemError(failure.Code());
  } catch (const std::bad_alloc&) {
    return L"Недостаточно памяти.";
  } catch (const std::exception& other) {
    return Widen(other.what());
  } catch (...) {
    return L"Неизвестная ошибка.";
  }
}

}  // namespace

win32::Seam<EndProgramFunction> EndProgramSeam{[](int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }};

void ReportRuntimeError(std::exception_ptr error) noexcept {
  try {
    MsgBox(L"Ошибка выполнения.\r\n\r\n" + Describe(std::move(error)), MB_ICONERROR);
  } catch (...) {  // NOLINT(bugprone-empty-catch)
    // Nothing more can be told; the program ends all the same.
  }
  (*EndProgramSeam)(1);
}

}  // namespace forms
