#include "support/file_dialog.h"

namespace support {

win32::Seam<ShowFileDialogFunction> FileDialogSeam(ShowSystemFileDialog);

bool FileDialog::Show(FileDialogKind kind) {
  request_.Kind = kind;
  std::optional<std::wstring> chosen = (*FileDialogSeam)(request_);
  if (!chosen) return false;
  request_.FileName = std::move(*chosen);
  return true;
}

}  // namespace support
