#include "ui/output_name.h"

#include "support/support_functions.h"
#include "win32/file_name.h"

namespace ui {

std::wstring DeriveOutputName(const std::wstring& quotedName) {
  const std::wstring inputName = win32::Unquoted(quotedName);
  const std::wstring extension = support::ksGetFileExtension(inputName);
  std::wstring name = support::ksCutRight(inputName, static_cast<long>(extension.size()));
  // The cut leaves the extension's dot, or none when there was no extension:
  // either way exactly one dot must stand before the new one.
  while (!name.empty() && name.back() == L'.') name.pop_back();
  return name + L".ISO";
}

}  // namespace ui
