// What PELMATIC.EXE loads: only DLLs that Windows takes from System32, never one planted beside it.
#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

#include "harness.h"
#include "win32/failure.h"
#include "win32/system_library.h"

namespace {

// Known DLLs, which Windows always takes from System32: no DLL of another name
// could be loaded from the folder the program was started from before it runs. And no manifest, which
// MSYS2's GCC would link in.
TEST(ProgramFileTest, ImportsOnlyKnownDlls) {
  // Mapped as an image, so that addresses in its headers lead straight to the data.
  const win32::UniqueHModule module(LoadLibraryExW(tests::BuiltFile(L"PELMATIC.EXE").c_str(), nullptr,
                                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(module) << "cannot load the program";
  const auto* image = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(module.Get()) & ~ULONG_PTR{3});
  const auto* headers =
      reinterpret_cast<const IMAGE_NT_HEADERS64*>(image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
  const auto& directories = headers->OptionalHeader.DataDirectory;
  EXPECT_EQ(directories[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].Size, 0u) << "the import table is the whole list";
  const std::set<std::string> known = {"kernel32.dll", "user32.dll",   "gdi32.dll",    "advapi32.dll", "shell32.dll",
                                       "ole32.dll",    "oleaut32.dll", "comdlg32.dll", "msvcrt.dll"};
  std::set<std::string> seen;
  for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
           image + directories[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
       import->Name != 0; ++import) {
    std::string name = reinterpret_cast<const char*>(image + import->Name);
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    seen.insert(name);
    EXPECT_TRUE(known.contains(name)) << name << " is not a known DLL: a file of that name beside the program runs";
  }
  EXPECT_TRUE(seen.contains("kernel32.dll")) << "the import table was read";
  // The root of its resources names their types: no manifest (24) among them, as the release has none.
  const auto* types = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY*>(image + directories[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress);
  const auto* type = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY_ENTRY*>(types + 1) + types->NumberOfNamedEntries;
  std::set<WORD> ids;
  for (WORD i = 0; i < types->NumberOfIdEntries; ++i) ids.insert(type[i].Id);
  EXPECT_EQ(ids, (std::set<WORD>{3, 14, 16})) << "icons, icon groups and the version: no RT_MANIFEST (24)";
}

// Started from a folder that also holds a comctl32.dll of our own (planted_dll.c), the program shows its window
// and does not load it. On Windows that is its own loader's search. Wine takes its own copy unless told to look
// beside the program first, as Windows does: told so only there, in the registry for this program's name
// (WINEDLLOVERRIDES in a child's environment block does not reach Wine's loader), and the key taken away after.
// The DLLs it imports are known ones, which no folder can override (above).
TEST(ProgramFileTest, LoadsNoDllPlantedBesideIt) {
  const tests::KeptKey appDefaults{L"Software\\Wine\\AppDefaults\\PELMATIC.EXE"};
  ASSERT_TRUE(!tests::UnderWine || RegSetKeyValueW(HKEY_CURRENT_USER, (appDefaults.Path + L"\\DllOverrides").c_str(),
                                                   L"comctl32", REG_SZ, L"native,builtin", 30) == ERROR_SUCCESS);
  tests::TempFolder folder;
  std::filesystem::copy_file(tests::BuiltFile(L"PELMATIC.EXE"), folder / L"PELMATIC.EXE");
  std::filesystem::copy_file(tests::BuiltFile(L"planted\\comctl32.dll"), folder / L"comctl32.dll");
  {
    const tests::ProgramProcess program(folder / L"PELMATIC.EXE", folder.Path);
    const HWND window = program.WaitForWindow(L"TessalineForm", L"Tessaline");
    EXPECT_NE(window, nullptr) << "no window \"Tessaline\"";
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
  }
  EXPECT_FALSE(std::filesystem::exists(folder / L"comctl32.dll.loaded"));
}

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
  EXPECT_NE(version.Function<decltype(GetFileVersionInfoSizeW)>("GetFileVersionInfoSizeW")(L"kernel32.dll", nullptr),
            0u);
  // PELMATIC.EXE lies beside the test program, where the search must not look.
  EXPECT_EQ(FailureCode([] { win32::SystemLibrary(L"PELMATIC.EXE"); }), 126u) << "ERROR_MOD_NOT_FOUND";
  // Nor must the process-wide search that start-up set, which Windows' own components follow.
  EXPECT_EQ(LoadLibraryW(L"PELMATIC.EXE") == nullptr ? GetLastError() : 0, 126u) << "found beside the program";
  EXPECT_NE(LoadLibraryW(L"version.dll"), nullptr);
  EXPECT_EQ(FailureCode([] { win32::SystemLibrary(L"version.dll").Function<void()>("NoSuchFunction"); }), 127u)
      << "ERROR_PROC_NOT_FOUND";
}

}  // namespace
