#pragma once
#include <windows.h>
#include <objbase.h>

#include "win32/failure.h"
#include "win32/unique_handle.h"

namespace win32 {

// Joins the calling thread to a single-threaded COM apartment for the
// owner's life, as the shell's dialogs need. Nests within an apartment the
// thread already has; a thread in the multithreaded apartment fails.
class ComApartment {
 public:
  ComApartment() {
    ThrowIfFailed(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE), "CoInitializeEx");
  }
  ~ComApartment() { CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

// Text that COM allocated for the caller to free.
using UniqueCoTaskString = UniqueHandle<NullEmptyTraits<PWSTR, ::CoTaskMemFree>>;

}  // namespace win32
