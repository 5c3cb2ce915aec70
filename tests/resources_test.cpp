// The resources and imports of the built PELMATIC.EXE, read from the file itself, and what it loads.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "program_process.h"
#include "temp_files.h"
#include "win32/unique_handle.h"

namespace {

using Names = std::vector<std::wstring>;
using SizeAndDepth = std::pair<int, int>;  // pixels square, bits per pixel

constexpr WORD kRussian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
constexpr WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

// Resource types and names as Windows writes them: "#14" for a number, else the name.
std::wstring NameOf(LPCWSTR name) {
  return IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : std::wstring(name);
}

class ProgramFileTest : public testing::Test {
 protected:
  void SetUp() override {
    path_ = tests::BuiltProgram();
    // Mapped as an image, so that addresses in its headers lead straight to the data.
    const HMODULE loaded =
        LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const DWORD error = GetLastError();
    module_.Reset(loaded);
    ASSERT_TRUE(module_) << "cannot load " << testing::PrintToString(path_) << ": error " << error;
  }

  Names Types() const {
    Names types;
    const auto add = [](HMODULE, LPWSTR type, LONG_PTR out) {
      reinterpret_cast<Names*>(out)->push_back(NameOf(type));
      return TRUE;
    };
    EnumResourceTypesW(module_.Get(), add, reinterpret_cast<LONG_PTR>(&types));
    return types;
  }

  // In the file's order: named entries first, then numbers.
  Names NamesOf(LPCWSTR type) const {
    Names names;
    const auto add = [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
      reinterpret_cast<Names*>(out)->push_back(NameOf(name));
      return TRUE;
    };
    EnumResourceNamesW(module_.Get(), type, add, reinterpret_cast<LONG_PTR>(&names));
    return names;
  }

  std::vector<WORD> Languages(LPCWSTR type, LPCWSTR name) const {
    std::vector<WORD> languages;
    const auto add = [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR out) {
      reinterpret_cast<std::vector<WORD>*>(out)->push_back(language);
      return TRUE;
    };
    EnumResourceLanguagesW(module_.Get(), type, name, add, reinterpret_cast<LONG_PTR>(&languages));
    return languages;
  }

  // The group's entries, sorted; the group and each of its images exist in the one language alone.
  std::vector<SizeAndDepth> IconGroup(LPCWSTR name, WORD language) const {
    EXPECT_EQ(Languages(RT_GROUP_ICON, name), std::vector<WORD>{language});
    const HRSRC found = FindResourceExW(module_.Get(), RT_GROUP_ICON, name, language);
    if (found == nullptr) return {};
    // Three WORDs, the last the count; then per image 14 bytes: width, height, colours, reserved, planes,
    // bit count (WORD at 6), bytes (DWORD), id (WORD at 12).
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module_.Get(), found)));
    const auto word = [data](size_t at) {
      WORD value;
      std::memcpy(&value, data + at, sizeof value);
      return value;
    };
    std::vector<SizeAndDepth> entries;
    for (size_t at = 6; at < 6 + 14u * word(4); at += 14) {
      entries.emplace_back(data[at], word(at + 6));
      EXPECT_EQ(Languages(RT_ICON, MAKEINTRESOURCEW(word(at + 12))), std::vector<WORD>{language})
          << "image " << word(at + 12);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
  }

  std::wstring path_;
  win32::UniqueHModule module_;
};

TEST_F(ProgramFileTest, HoldsTheTwoIconGroupsAndTheVersionAndNothingElse) {
  EXPECT_EQ(Types(), (Names{L"#3", L"#14", L"#16"})) << "icons, icon groups, version only";
  EXPECT_EQ(NamesOf(RT_GROUP_ICON), (Names{L"A_MAIN", L"#1"})) << "A_MAIN is the first group";
  EXPECT_EQ(NamesOf(RT_ICON).size(), 11u) << "the groups' images and no others";
  EXPECT_EQ(IconGroup(L"A_MAIN", kRussian), (std::vector<SizeAndDepth>{{16, 4}, {16, 8}, {24, 4}, {24, 8},
                                                                       {32, 4}, {32, 8}, {48, 4}, {48, 8}}));
  EXPECT_EQ(IconGroup(MAKEINTRESOURCEW(1), kNeutral), (std::vector<SizeAndDepth>{{16, 4}, {32, 1}, {32, 4}}));
}

// Known DLLs, which Windows always takes from System32: no DLL of another name
// could be loaded from the folder the program was started from before it runs.
TEST_F(ProgramFileTest, ImportsOnlyKnownDlls) {
  const auto* image = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(module_.Get()) & ~ULONG_PTR{3});
  const auto* headers =
      reinterpret_cast<const IMAGE_NT_HEADERS64*>(image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
  ASSERT_EQ(headers->Signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
  const auto& directories = headers->OptionalHeader.DataDirectory;
  EXPECT_EQ(directories[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].Size, 0u)
      << "no delay-loaded libraries, so the import table is the whole list";
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
}

// Started from a folder that also holds a version.dll and a comctl32.dll of our own
// (planted_dll.c), the program shows its window and loads neither. Wine takes its own
// copies unless told to look beside the program first, as Windows does; told so in the
// registry for this program's name (WINEDLLOVERRIDES in a child's environment block
// does not reach Wine's loader). Not for version.dll: Wine's own user32 imports it,
// so any program would load the planted one; the import table test covers it there.
TEST_F(ProgramFileTest, LoadsNoDllPlantedBesideIt) {
  const std::wstring planted[] = {L"version", L"comctl32"};
  const wchar_t* const overrides = L"Software\\Wine\\AppDefaults\\PELMATIC.EXE\\DllOverrides";
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, overrides, L"comctl32", REG_SZ, L"native,builtin", 30), 0);
  const struct RemoveOverrides {
    const wchar_t* key;
    ~RemoveOverrides() { RegDeleteTreeW(HKEY_CURRENT_USER, key); }
  } removeOverrides{overrides};
  tests::TempFolder folder;
  std::filesystem::copy_file(path_, folder / L"PELMATIC.EXE");
  for (const auto& name : planted) {
    std::filesystem::copy_file(std::filesystem::path(path_).parent_path() / L"planted" / (name + L".dll"),
                               folder / (name + L".dll"));
  }

  {
    const tests::ProgramProcess program(folder / L"PELMATIC.EXE", folder.Path());
    const HWND window = program.WaitForWindow(L"TessalineForm", L"Tessaline");
    EXPECT_NE(window, nullptr) << "no window \"Tessaline\"";
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
  }
  for (const auto& name : planted) {
    EXPECT_FALSE(std::filesystem::exists(folder / (name + L".dll.loaded"))) << "the planted " << name << " was loaded";
  }
}

}  // namespace
