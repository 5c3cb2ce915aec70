// The file dialogs on the system's common item dialogs.
#include <windows.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include "forms/modal_box.h"
#include "win32/com.h"
#include "win32/failure.h"
#include "win32/file_name.h"
#include "support/file_dialog.h"
#include "support/support_functions.h"

namespace support {
namespace {

using Microsoft::WRL::ComPtr;

constexpr FILEOPENDIALOGOPTIONS OpenOptions = FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM;
constexpr FILEOPENDIALOGOPTIONS SaveOptions = FOS_OVERWRITEPROMPT | FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM;

// "*.ISO" gives "ISO"; a pattern with wildcards in its extension gives none.
std::wstring PatternExtension(const std::wstring& patterns) {
  const std::wstring first = patterns.substr(0, patterns.find(L';'));
  if (first.rfind(L"*.", 0) != 0) return {};
  const std::wstring extension = first.substr(2);
  return extension.find_first_of(L"*?") == std::wstring::npos ? extension : std::wstring();
}

// Opens the dialog in the folder if it is an existing one; false leaves the dialog as it was.
bool TrySetFolder(IFileDialog& dialog, const std::wstring& folder) {
  if (folder.empty()) return false;
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
  ComPtr<IShellItem> item;
  if (FAILED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_PPV_ARGS(item.GetAddressOf())))) return false;
  return SUCCEEDED(dialog.SetFolder(item.Get()));
}

void SetFileTypes(IFileDialog& dialog, FileDialogKind kind, const std::wstring& filter) {
  const auto entries = SplitFilter(filter);
  if (entries.empty()) return;
  std::vector<COMDLG_FILTERSPEC> fileTypes;
  fileTypes.reserve(entries.size());
  for (const auto& [name, patterns] : entries) fileTypes.push_back({name.c_str(), patterns.c_str()});
  win32::ThrowIfFailed(dialog.SetFileTypes(static_cast<UINT>(fileTypes.size()), fileTypes.data()), "IFileDialog::SetFileTypes");
  // With a default extension set, the dialog follows the file type the user picks.
  const std::wstring extension = PatternExtension(entries.front().second);
  if (kind == FileDialogKind::Save && !extension.empty()) {
    win32::ThrowIfFailed(dialog.SetDefaultExtension(extension.c_str()), "IFileDialog::SetDefaultExtension");
  }
}

}  // namespace

std::vector<std::pair<std::wstring, std::wstring>> SplitFilter(const std::wstring& filter) {
  std::vector<std::wstring> fields;
  if (!filter.empty()) {
    std::size_t start = 0;
    for (;;) {
      const auto bar = filter.find(L'|', start);
      fields.push_back(filter.substr(start, bar - start));
      if (bar == std::wstring::npos) break;
      start = bar + 1;
    }
  }
  if (fields.size() % 2 != 0) win32::ThrowWin32(ERROR_INVALID_PARAMETER, "file dialog filter without patterns");
  std::vector<std::pair<std::wstring, std::wstring>> entries;
  for (std::size_t i = 0; i < fields.size(); i += 2) entries.emplace_back(fields[i], fields[i + 1]);
  return entries;
}

std::optional<std::wstring> ShowSystemFileDialog(const FileDialogRequest& request) {
  // Declared first: every COM object below is released before the apartment ends.
  const win32::ComApartment apartment;
  const bool open = request.Kind == FileDialogKind::Open;
  ComPtr<IFileDialog> dialog;
  win32::ThrowIfFailed(CoCreateInstance(open ? CLSID_FileOpenDialog : CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER,
                                 IID_PPV_ARGS(dialog.GetAddressOf())),
                "CoCreateInstance(FileDialog)");

  FILEOPENDIALOGOPTIONS options = 0;
  win32::ThrowIfFailed(dialog->GetOptions(&options), "IFileDialog::GetOptions");
  win32::ThrowIfFailed(dialog->SetOptions(options | (open ? OpenOptions : SaveOptions)), "IFileDialog::SetOptions");
  SetFileTypes(*dialog.Get(), request.Kind, request.Filter);

  // The proposed name's own folder first: the dialog then shows the file that the name means.
  if (!TrySetFolder(*dialog.Get(), ksGetFilePath(request.FileName))) TrySetFolder(*dialog.Get(), request.InitialFolder);
  win32::ThrowIfFailed(dialog->SetFileName(win32::NamePart(request.FileName).c_str()), "IFileDialog::SetFileName");

  const forms::ModalBoxScope dialogUp;
  const HRESULT shown = dialog->Show(request.Owner);
  if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return std::nullopt;
  win32::ThrowIfFailed(shown, "IFileDialog::Show");

  ComPtr<IShellItem> result;
  win32::ThrowIfFailed(dialog->GetResult(result.GetAddressOf()), "IFileDialog::GetResult");
  win32::UniqueCoTaskString path;
  win32::ThrowIfFailed(result->GetDisplayName(SIGDN_FILESYSPATH, path.Put()), "IShellItem::GetDisplayName");
  return std::wstring(path.Get());
}

}  // namespace support
