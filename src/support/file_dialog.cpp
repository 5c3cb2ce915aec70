#include "support/file_dialog.h"

namespace support {

Seam<ShowFileDialogFunction> FileDialogSeam(ShowSystemFileDialog);

Flag FileDialog::Show(FileDialogKind kind) {
  request_.Kind = kind;
  std::optional<std::wstring> chosen = (*FileDialogSeam)(request_);
  if (!chosen) return False;
  request_.FileName = std::move(*chosen);
  return True;
}

}  // namespace support
