#include <string>

#include "support/support_functions.h"
#include "win32/file_name.h"

namespace support {
namespace {

constexpr wchar_t Separators[] = L"\\/";

bool IsDrive(const std::wstring& text) { return text.size() >= 2 && text[1] == L':'; }

}  // namespace

std::wstring ksGetFilePath(const std::wstring& fileName) {
  const std::size_t nameStart = win32::NameStart(fileName);
  if (nameStart == 0) return {};
  // "C:disc.nrg" lies in the current folder of drive C, which "C:" names.
  if (fileName[nameStart - 1] == L':') return fileName.substr(0, 2);
  // A run of separators counts as one: "C:\Images\\disc.nrg" lies in "C:\Images".
  const auto folderEnd = fileName.find_last_not_of(Separators, nameStart - 1);
  if (folderEnd == std::wstring::npos) return fileName.substr(0, 1);  // the root of the current drive
  // Without its separator a drive root would name the drive's current folder.
  if (folderEnd == 1 && IsDrive(fileName)) return fileName.substr(0, 3);
  return fileName.substr(0, folderEnd + 1);
}

std::wstring ksGetFileExtension(const std::wstring& fileName) {
  const auto dot = fileName.rfind(L'.');
  // A dot before the name proper belongs to a folder.
  if (dot == std::wstring::npos || dot < win32::NameStart(fileName)) return {};
  return fileName.substr(dot + 1);
}

std::wstring ksCutRight(const std::wstring& text, long count) {
  if (count <= 0) return text;
  const auto cut = static_cast<std::size_t>(count);
  return cut >= text.size() ? std::wstring() : text.substr(0, text.size() - cut);
}

}  // namespace support
