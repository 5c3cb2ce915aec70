// The resources and imports of the built PELMATIC.EXE, read from the file itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "support/unique_handle.h"
#include "temp_files.h"

namespace {

// The icon group layout in a resource: GRPICONDIR, then GRPICONDIRENTRY per image.
#pragma pack(push, 2)
struct GroupIconDir {
  WORD reserved;
  WORD type;
  WORD count;
};
struct GroupIconDirEntry {
  BYTE width;
  BYTE height;
  BYTE colorCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytesInRes;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconDir) == 6 && sizeof(GroupIconDirEntry) == 14);

using UniqueHBitmap = support::UniqueHandle<support::NullEmptyTraits<HBITMAP, ::DeleteObject>>;
using SizeAndDepth = std::pair<int, int>;  // pixels square, bits per pixel

constexpr WORD kRussian = MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT);
constexpr WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length == MAX_PATH) throw std::runtime_error("GetModuleFileNameW");
  std::wstring result(path, length);
  return result.substr(0, result.find_last_of(L"\\/") + 1) + L"PELMATIC.EXE";
}

// Resource types and names as Windows writes them: "#14" for a number, else the name.
std::wstring NameOf(LPCWSTR name) {
  return IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : std::wstring(name);
}

BOOL CALLBACK AddType(HMODULE, LPWSTR type, LONG_PTR names) {
  reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(NameOf(type));
  return TRUE;
}

BOOL CALLBACK AddName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
  reinterpret_cast<std::vector<std::wstring>*>(names)->push_back(NameOf(name));
  return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
  reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
  return TRUE;
}

class ProgramFileTest : public testing::Test {
 protected:
  void SetUp() override {
    const HMODULE loaded =
        LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const DWORD error = GetLastError();
    module_.Reset(loaded);
    ASSERT_TRUE(module_) << "cannot load " << testing::PrintToString(path_) << ": error " << error;
  }

  std::vector<std::wstring> Types() const {
    std::vector<std::wstring> types;
    EnumResourceTypesW(module_.Get(), AddType, reinterpret_cast<LONG_PTR>(&types));
    return types;
  }

  // In the file's order: named entries first, then numbers.
  std::vector<std::wstring> Names(LPCWSTR type) const {
    std::vector<std::wstring> names;
    EnumResourceNamesW(module_.Get(), type, AddName, reinterpret_cast<LONG_PTR>(&names));
    return names;
  }

  std::vector<WORD> Languages(LPCWSTR type, LPCWSTR name) const {
    std::vector<WORD> languages;
    EnumResourceLanguagesW(module_.Get(), type, name, AddLanguage, reinterpret_cast<LONG_PTR>(&languages));
    return languages;
  }

  std::span<const BYTE> Data(LPCWSTR type, LPCWSTR name, WORD language) const {
    const HRSRC found = FindResourceExW(module_.Get(), type, name, language);
    if (found == nullptr) return {};
    const HGLOBAL loaded = LoadResource(module_.Get(), found);
    if (loaded == nullptr) return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module_.Get(), found)};
  }

  std::vector<GroupIconDirEntry> IconGroup(LPCWSTR name, WORD language) const {
    const std::span<const BYTE> data = Data(RT_GROUP_ICON, name, language);
    GroupIconDir header{};
    if (data.size() < sizeof header) return {};
    std::memcpy(&header, data.data(), sizeof header);
    EXPECT_EQ(header.reserved, 0);
    EXPECT_EQ(header.type, 1) << "an icon group, not a cursor group";
    EXPECT_EQ(data.size(), sizeof header + header.count * sizeof(GroupIconDirEntry));
    std::vector<GroupIconDirEntry> entries(std::min<size_t>(header.count, (data.size() - sizeof header) / sizeof(GroupIconDirEntry)));
    std::memcpy(entries.data(), data.data() + sizeof header, entries.size() * sizeof(GroupIconDirEntry));
    return entries;
  }

  // Each image of the group: in the group's language only, and what its own header says it is.
  void ExpectImagesMatch(const std::vector<GroupIconDirEntry>& entries, WORD language) const {
    for (const GroupIconDirEntry& entry : entries) {
      SCOPED_TRACE(testing::Message() << "icon " << entry.id << ", " << int{entry.width} << " px, "
                                      << entry.bitCount << " bpp");
      EXPECT_EQ(entry.width, entry.height);
      EXPECT_EQ(entry.colorCount, entry.bitCount < 8 ? 1 << entry.bitCount : 0);
      EXPECT_EQ(entry.reserved, 0);
      EXPECT_EQ(entry.planes, 1);
      EXPECT_EQ(Languages(RT_ICON, MAKEINTRESOURCEW(entry.id)), std::vector<WORD>{language});

      const std::span<const BYTE> image = Data(RT_ICON, MAKEINTRESOURCEW(entry.id), language);
      BITMAPINFOHEADER header{};
      ASSERT_GE(image.size(), sizeof header);
      std::memcpy(&header, image.data(), sizeof header);
      EXPECT_EQ(image.size(), entry.bytesInRes);
      EXPECT_EQ(header.biSize, sizeof header);
      EXPECT_EQ(header.biWidth, entry.width);
      EXPECT_EQ(header.biHeight, 2 * entry.height) << "colour bits and mask";
      EXPECT_EQ(header.biPlanes, 1);
      EXPECT_EQ(header.biBitCount, entry.bitCount);
      EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

      const size_t size = entry.width;
      const size_t colourStride = (size * entry.bitCount + 31) / 32 * 4;
      const size_t maskStride = (size + 31) / 32 * 4;
      const size_t maskOffset = sizeof header + (size_t{1} << entry.bitCount) * sizeof(RGBQUAD) + colourStride * size;
      ASSERT_EQ(image.size(), maskOffset + maskStride * size) << "header, colour table, colour bits, 1-bit mask";
      size_t transparent = 0;
      for (size_t row = 0; row < size; ++row) {
        for (size_t column = 0; column < size; ++column) {
          transparent += (image[maskOffset + row * maskStride + column / 8] >> (7 - column % 8)) & 1;
        }
      }
      EXPECT_GT(transparent, 0u) << "the corners show what lies behind";
      EXPECT_LT(transparent, size * size / 2) << "the picture covers most of the square";
    }
  }

  static std::vector<SizeAndDepth> SizesAndDepths(const std::vector<GroupIconDirEntry>& entries) {
    std::vector<SizeAndDepth> result;
    for (const GroupIconDirEntry& entry : entries) result.emplace_back(entry.width, entry.bitCount);
    std::sort(result.begin(), result.end());
    return result;
  }

  std::wstring path_ = ProgramPath();
  support::UniqueHModule module_;
};

TEST_F(ProgramFileTest, HoldsTwoIconGroupsAndTheVersionAndNothingElse) {
  EXPECT_EQ(Types(), (std::vector<std::wstring>{L"#3", L"#14", L"#16"})) << "icons, icon groups, version only";
  EXPECT_EQ(Names(RT_GROUP_ICON), (std::vector<std::wstring>{L"A_MAIN", L"#1"})) << "A_MAIN is the first group";
  EXPECT_EQ(Names(RT_VERSION), std::vector<std::wstring>{L"#1"});

  // No image that no group uses.
  std::set<std::wstring> used;
  for (const auto& entry : IconGroup(L"A_MAIN", kRussian)) used.insert(L"#" + std::to_wstring(entry.id));
  for (const auto& entry : IconGroup(MAKEINTRESOURCEW(1), kNeutral)) used.insert(L"#" + std::to_wstring(entry.id));
  const std::vector<std::wstring> images = Names(RT_ICON);
  EXPECT_EQ(std::set<std::wstring>(images.begin(), images.end()), used);
  EXPECT_EQ(images.size(), 11u);
}

TEST_F(ProgramFileTest, MainIconIsRussianWithEveryImageOfTheTable) {
  EXPECT_EQ(Languages(RT_GROUP_ICON, L"A_MAIN"), std::vector<WORD>{kRussian});
  const std::vector<GroupIconDirEntry> entries = IconGroup(L"A_MAIN", kRussian);
  EXPECT_EQ(SizesAndDepths(entries), (std::vector<SizeAndDepth>{{16, 4}, {16, 8}, {24, 4}, {24, 8},
                                                                {32, 4}, {32, 8}, {48, 4}, {48, 8}}));
  ExpectImagesMatch(entries, kRussian);
}

TEST_F(ProgramFileTest, SecondIconGroupIsNeutralWithThreeImages) {
  EXPECT_EQ(Languages(RT_GROUP_ICON, MAKEINTRESOURCEW(1)), std::vector<WORD>{kNeutral});
  const std::vector<GroupIconDirEntry> entries = IconGroup(MAKEINTRESOURCEW(1), kNeutral);
  EXPECT_EQ(SizesAndDepths(entries), (std::vector<SizeAndDepth>{{16, 4}, {32, 1}, {32, 4}}));
  ExpectImagesMatch(entries, kNeutral);
}

TEST_F(ProgramFileTest, VersionResourceDescribesTheProgram) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path_.c_str(), &ignored);
  ASSERT_NE(size, 0u) << GetLastError();
  std::vector<BYTE> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path_.c_str(), 0, size, info.data())) << GetLastError();

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u) << "1.0";
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000008u) << "0.8";
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000008u);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  WORD* translation = nullptr;
  ASSERT_TRUE(
      VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 2 * sizeof(WORD)) << "one translation";
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);

  // Empty when the entry is missing.
  const auto text = [&](const std::wstring& name) -> std::wstring {
    wchar_t* value = nullptr;
    UINT chars = 0;
    const std::wstring query = L"\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &chars)) return {};
    return value;
  };
  EXPECT_EQ(text(L"FileVersion"), L"1.00.0008");
  EXPECT_EQ(text(L"ProductVersion"), L"1.00.0008");
  EXPECT_EQ(text(L"FileDescription"), L"Kelvane - Tessaline 1.00");
  EXPECT_EQ(text(L"Comments"), L"Kelvane - Tessaline 1.00");
  EXPECT_EQ(text(L"ProductName"), L"Kelvane");
  EXPECT_EQ(text(L"InternalName"), L"Pelmatic");
  EXPECT_EQ(text(L"OriginalFilename"), L"PELMATIC.EXE");
  for (const std::wstring maker : {L"CompanyName", L"LegalCopyright", L"LegalTrademarks"}) {
    EXPECT_FALSE(text(maker).empty()) << testing::PrintToString(maker);
  }
}

// --- imports, from the file's bytes -----------------------------------------

template <class T>
T ReadAt(const std::vector<std::uint8_t>& file, size_t offset) {
  if (offset > file.size() || file.size() - offset < sizeof(T)) throw std::out_of_range("past the end of the file");
  T value;
  std::memcpy(&value, file.data() + offset, sizeof value);
  return value;
}

std::vector<std::string> ImportedLibraries(const std::vector<std::uint8_t>& file) {
  const auto dos = ReadAt<IMAGE_DOS_HEADER>(file, 0);
  EXPECT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
  const auto nt = ReadAt<IMAGE_NT_HEADERS64>(file, dos.e_lfanew);
  EXPECT_EQ(nt.Signature, static_cast<DWORD>(IMAGE_NT_SIGNATURE));
  EXPECT_EQ(nt.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
  EXPECT_EQ(nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].Size, 0u)
      << "no delay-loaded libraries, so the import table is the whole list";

  const size_t sections = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                          nt.FileHeader.SizeOfOptionalHeader;
  const auto fileOffset = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
      const auto section = ReadAt<IMAGE_SECTION_HEADER>(file, sections + i * sizeof(IMAGE_SECTION_HEADER));
      const DWORD extent = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
      if (rva >= section.VirtualAddress && rva - section.VirtualAddress < extent) {
        return section.PointerToRawData + (rva - section.VirtualAddress);
      }
    }
    throw std::out_of_range("address in no section");
  };

  std::vector<std::string> names;
  const DWORD table = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (size_t at = fileOffset(table);; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto import = ReadAt<IMAGE_IMPORT_DESCRIPTOR>(file, at);
    if (import.Name == 0) break;
    std::string name;
    for (size_t c = fileOffset(import.Name); ReadAt<char>(file, c) != '\0'; ++c) name += ReadAt<char>(file, c);
    names.push_back(name);
  }
  return names;
}

TEST_F(ProgramFileTest, ImportsOnlyLibrariesOfWindowsItself) {
  const std::vector<std::string> imports = ImportedLibraries(tests::ReadBytes(path_));
  const std::set<std::string> system = {"kernel32.dll", "user32.dll",   "gdi32.dll",    "advapi32.dll",
                                        "shell32.dll",  "ole32.dll",    "oleaut32.dll", "comctl32.dll",
                                        "comdlg32.dll", "version.dll",  "shlwapi.dll",  "uxtheme.dll",
                                        "msvcrt.dll",   "ucrtbase.dll", "ntdll.dll"};
  std::set<std::string> seen;
  for (std::string name : imports) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    seen.insert(name);
    EXPECT_TRUE(system.contains(name) || name.starts_with("api-ms-win-"))
        << name << " is not part of Windows: the program must run from its one file";
  }
  EXPECT_TRUE(seen.contains("kernel32.dll")) << "the import table was read";
}

// --- the running program ----------------------------------------------------

TEST(ProgramIconTest, LoadsFromTheRunningProgramAtWindowSizes) {
  for (const int size : {16, 32}) {
    SCOPED_TRACE(testing::Message() << size << " px");
    const support::UniqueHIcon icon(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"A_MAIN", IMAGE_ICON, size, size, 0)));
    ASSERT_TRUE(icon) << GetLastError();
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.Get(), &info)) << GetLastError();
    const UniqueHBitmap colour(info.hbmColor);
    const UniqueHBitmap mask(info.hbmMask);
    EXPECT_TRUE(info.fIcon);
    BITMAP bitmap{};
    ASSERT_NE(GetObjectW(colour.Get(), sizeof bitmap, &bitmap), 0);
    EXPECT_EQ(bitmap.bmWidth, size);
    EXPECT_EQ(bitmap.bmHeight, size) << "an image of this size, not a stretched one";
  }
}

}  // namespace
