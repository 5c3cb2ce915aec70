#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "win32/seam.h"

namespace support {

enum class FileDialogKind { Open, Save };

// Everything a file dialog is shown with.
struct FileDialogRequest {
  FileDialogKind Kind = FileDialogKind::Open;
  std::wstring Filter;  // "name|patterns|name|patterns", patterns separated by ";"
  HWND Owner = nullptr;
  std::wstring InitialFolder;
  std::wstring FileName;  // the name proposed, with or without a folder
};

// Shows the dialog and waits: the chosen full name, or nothing when the user
// closed it without one.
using ShowFileDialogFunction = std::function<std::optional<std::wstring>(const FileDialogRequest&)>;

// Every file dialog of the program is shown through here; tests script the user's choice.
extern win32::Seam<ShowFileDialogFunction> FileDialogSeam;

// The system's open or save dialog. The proposed name's own folder, when it
// exists, wins over the initial folder, so that the dialog shows the file
// the name means; a folder that does not exist is passed over. A save
// dialog adds the extension of the chosen file type to a name typed
// without one (none for "*.*"); it asks before replacing a file.
std::optional<std::wstring> ShowSystemFileDialog(const FileDialogRequest& request);

// The filter's display names and their patterns, pair by pair. Throws
// win32::Failure for a name without patterns.
std::vector<std::pair<std::wstring, std::wstring>> SplitFilter(const std::wstring& filter);

// An open or save dialog for one choice: set its properties, show it, read
// the chosen name.
class FileDialog {
 public:
  // Before a choice, the proposed name; after ShowOpen or ShowSave returned true, the chosen full name.
  const std::wstring& FileName() const noexcept { return request_.FileName; }
  void SetOwnerWindow(HWND owner) { request_.Owner = owner; }
  void SetFilter(const std::wstring& filter) { request_.Filter = filter; }
  void SetFileName(const std::wstring& fileName) { request_.FileName = fileName; }
  void SetInitialFolder(const std::wstring& folder) { request_.InitialFolder = folder; }

  // true when the user chose a file, false when the dialog was closed without one.
  bool ShowOpen() { return Show(FileDialogKind::Open); }
  bool ShowSave() { return Show(FileDialogKind::Save); }

 private:
  bool Show(FileDialogKind kind);

  FileDialogRequest request_;
};

}  // namespace support
