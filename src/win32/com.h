#pragma once
#include <windows.h>
#include <objbase.h>

#include <new>

#include "win32/failure.h"
#include "win32/unique_handle.h"

namespace win32 {

// Joins the calling thread to a single-threaded COM apartment for the
// owner's life, as the shell's dialogs need. Nests within an apartment the
// thread already has; a thread in the multithreaded apartment cannot join.
class ComApartment {
 public:
  // Throws where the thread cannot join.
  ComApartment() : ComApartment(std::nothrow) { ThrowIfFailed(joinResult_, "CoInitializeEx"); }
  // For a caller that can do without COM: Joined() tells.
  explicit ComApartment(std::nothrow_t /*unused*/) noexcept
      : joinResult_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComApartment() {
    if (Joined()) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool Joined() const noexcept { return SUCCEEDED(joinResult_); }

 private:
  HRESULT joinResult_;
};

// Memory that COM allocated for the caller to free: a text, an item ID list.
template <class Pointer>
using UniqueCoTaskMemory = UniqueHandle<NullEmptyTraits<Pointer, ::CoTaskMemFree>>;
using UniqueCoTaskString = UniqueCoTaskMemory<PWSTR>;

}  // namespace win32
