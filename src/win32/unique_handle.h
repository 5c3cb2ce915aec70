#pragma once
#include <windows.h>

#include <shellapi.h>

#include <utility>

namespace win32 {

// A move-only owner of one handle. Traits say which value means "none" and how
// the handle is closed, since Windows uses both NULL and INVALID_HANDLE_VALUE.
template <class Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Type value) noexcept : value_(value) {}
  UniqueHandle(UniqueHandle&& other) noexcept : value_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  Type Get() const noexcept { return value_; }
  explicit operator bool() const noexcept { return Traits::IsValid(value_); }
  Type Release() noexcept { return std::exchange(value_, Traits::Empty()); }
  void Reset(Type value = Traits::Empty()) noexcept {
    const Type old = std::exchange(value_, value);
    if (Traits::IsValid(old)) Traits::Close(old);
  }
  // For functions that return a handle through a pointer.
  Type* Put() noexcept {
    Reset();
    return &value_;
  }

 private:
  Type value_ = Traits::Empty();
};

template <class T, auto CloseFn>
struct NullEmptyTraits {
  using Type = T;
  static Type Empty() noexcept { return nullptr; }
  static bool IsValid(Type value) noexcept { return value != nullptr; }
  static void Close(Type value) noexcept { CloseFn(value); }
};

// A file handle is empty at INVALID_HANDLE_VALUE, the value CreateFileW fails with.
struct FileHandleTraits {
  using Type = HANDLE;
  static Type Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Type value) noexcept { return value != nullptr && value != INVALID_HANDLE_VALUE; }
  static void Close(Type value) noexcept { ::CloseHandle(value); }
};

using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueHWnd = UniqueHandle<NullEmptyTraits<HWND, ::DestroyWindow>>;
using UniqueHPen = UniqueHandle<NullEmptyTraits<HPEN, ::DeleteObject>>;
using UniqueHKey = UniqueHandle<NullEmptyTraits<HKEY, ::RegCloseKey>>;
using UniqueHFont = UniqueHandle<NullEmptyTraits<HFONT, ::DeleteObject>>;
using UniqueHIcon = UniqueHandle<NullEmptyTraits<HICON, ::DestroyIcon>>;
using UniqueHModule = UniqueHandle<NullEmptyTraits<HMODULE, ::FreeLibrary>>;
// The files of one drop, handed over with WM_DROPFILES.
using UniqueHDrop = UniqueHandle<NullEmptyTraits<HDROP, ::DragFinish>>;

}  // namespace win32
