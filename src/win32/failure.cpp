#include "win32/failure.h"

namespace win32 {

void ThrowWin32(DWORD code, const char* what) {
  // A call that failed without saying why still fails.
  throw Failure(what, code != ERROR_SUCCESS ? code : ERROR_GEN_FAILURE);
}

void ThrowHResult(HRESULT hr, const char* what) {
  const DWORD code = HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr);
  throw Failure(what, code);
}

}  // namespace win32
