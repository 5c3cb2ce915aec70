#include "win32/system_library.h"
#include "harness.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "win32/failure.h"

namespace {

DWORD FailureCode(void (*call)()) {
  try {
    call();
  } catch (const win32::Failure& failure) {
    return failure.Code();
  }
  return ERROR_SUCCESS;
}

TEST(SystemLibraryTest, LoadsFromSystem32AloneAndFailsWithTheSystemsCode) {
  const win32::SystemLibrary version(L"version.dll");
  DWORD ignored = 0;
  EXPECT_NE(version.Function<decltype(GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW")(L"kernel32.dll", &ignored),
            0u);
  // PELMATIC.EXE lies beside the test program, where the search must not look.
  EXPECT_EQ(FailureCode([] { win32::SystemLibrary(L"PELMATIC.EXE"); }), 126u) << "ERROR_MOD_NOT_FOUND";
  EXPECT_EQ(FailureCode([] { win32::SystemLibrary(L"version.dll").Function<void()>("NoSuchFunction"); }), 127u)
      << "ERROR_PROC_NOT_FOUND";
}

}  // namespace
