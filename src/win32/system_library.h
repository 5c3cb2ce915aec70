#pragma once
#include <windows.h>

#include "win32/unique_handle.h"

namespace win32 {

// From now on the process looks for DLLs in System32 alone, never beside the
// executable, where anything saved in the same folder could be waiting.
void LimitDllSearchToSystem32();

// A DLL that is not one of the system's known DLLs, taken from System32 alone
// and kept loaded as long as this owner lives.
class SystemLibrary {
 public:
  explicit SystemLibrary(const wchar_t* fileName);

  // The named export as the function type declared for it, e.g.
  // Function<decltype(::InitCommonControls)>("InitCommonControls").
  template <class Signature>
  Signature* Function(const char* name) const {
    // Through void(*)(), the function pointer type that converts to any other without a warning.
    return reinterpret_cast<Signature*>(reinterpret_cast<void (*)()>(Export(name)));
  }

 private:
  FARPROC Export(const char* name) const;

  UniqueHModule module_;
};

}  // namespace win32
