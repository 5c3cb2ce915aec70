#pragma once
#include <memory>
#include <string>
#include <vector>

#include "forms/command_button.h"
#include "forms/form.h"
#include "forms/label.h"
#include "forms/shape.h"
#include "forms/text_box.h"

namespace ui {

// The program's only window: two file names, convert and cancel.
class frmMain final : public forms::Form {
 public:
  frmMain();

  // The toolkit's default instance: empty until start-up creates it.
  static std::unique_ptr<frmMain> DefaultInstance;

  // Declared in drawing order: the strip lies under the labels.
  forms::Shape shpBack;
  forms::Label lblTag[2];
  forms::TextBox txtInFileName;
  forms::CommandButton cmdBrowseInFile;
  forms::TextBox txtOutFileName;
  forms::CommandButton cmdBrowseOutFile;
  forms::CommandButton cmdStart;
  forms::CommandButton cmdCancel;

 private:
  void Form_Load();
  void Form_Paint();
  void Form_DpiChanged();
  void Form_KeyDown(short& keyCode, short& shift);
  void Form_QueryUnload(bool& cancel, forms::UnloadMode unloadMode);
  void Form_DropFiles(const std::vector<std::wstring>& fileNames, forms::Control* target);
  void cmdStart_Click();
  void cmdCancel_Click();
  void cmdBrowseInFile_Click();
  void cmdBrowseOutFile_Click();
  void txtFileName_Change();
  void txtFileName_GotFocus();
  void SetFileControlsEnabled(bool enabled);
  void TakeInputFile(const std::wstring& fileName);
  void TakeOutputFolder(const std::wstring& folder);
  void SetWindowIcons();
};

}  // namespace ui
