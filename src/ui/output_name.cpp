#include "ui/output_name.h"

#include "support/support_functions.h"
#include "win32/file_name.h"

namespace ui {

std::wstring DeriveOutputName(const std::wstring& quotedName) {
  const std::wstring inputName = win32::Unquoted(quotedName);
  const std::wstring extension = support::ksGetFileExtension(inputName);
  const std::wstring name = support::ksCutRight(inputName, static_cast<long>(extension.size()));
  // The cut keeps the extension's dot. A name without an extension may still end in a dot of its own,
  // which then serves: another would make "disc." into "disc..ISO".
  return name + (!name.empty() && name.back() == L'.' ? L"ISO" : L".ISO");
}

}  // namespace ui
