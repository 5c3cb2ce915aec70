#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/colors.h"
#include "forms/command_button.h"
#include "forms/font.h"
#include "forms/twips.h"
#include "win32/unique_handle.h"

namespace forms {

// A window's stored description.
struct FormDescription {
  std::wstring Caption;
  TwipsRect ClientArea;  // position on the screen and size of the client area
  FontDescription Font;
  OleColor BackColor = ButtonFaceColor;
  bool KeyPreview = false;  // the form's KeyDown sees keys before the focused control
};

// Why a form is asked to close.
enum class UnloadMode { ControlMenu = 0, Code = 1, AppWindows = 2 };

// Key state bits of the KeyDown event.
inline constexpr short ShiftMask = 1;
inline constexpr short CtrlMask = 2;
inline constexpr short AltMask = 4;

// A top-level window built from its description and its controls. The window
// exists from load to unload; the object outlives it and can load again.
// Every close request, Unload's or the system's, is put to QueryUnload; while
// a modal box of ours is open the window stays whatever QueryUnload says.
// The end of the session ends the program at once, with exit code 0.
class Form {
 public:
  explicit Form(FormDescription description);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  std::function<void()> OnLoad;
  std::function<void()> OnPaint;
  std::function<void(short& keyCode, short& shift)> OnKeyDown;
  std::function<void(bool& cancel, UnloadMode mode)> OnQueryUnload;
  // Files dropped on the window from the shell: their full names in the order
  // given, and the windowed control under the drop point (null: the form itself).
  std::function<void(const std::vector<std::wstring>& fileNames, Control* target)> OnDropFiles;
  // The window has moved to a monitor of another DPI and laid itself out again.
  std::function<void()> OnDpiChanged;

  // Loads the form if needed (raising Load before it is visible), shows it and returns.
  void Show();
  // Asks QueryUnload; unless refused, destroys the window. The last form
  // unloaded ends the message loop.
  void Unload();
  bool IsLoaded() const noexcept { return window_ != nullptr; }

  // Whether the window takes dropped files now; while it does not, the system
  // shows the no-drop pointer over it and a drop already on its way is dropped.
  void SetAcceptsFiles(bool accept);
  bool AcceptsFiles() const noexcept { return acceptsFiles_; }

  // The window; reading it loads the form.
  HWND Handle();
  // The client area's device context; while painting, the one being painted.
  HDC DeviceContext();
  // The dots per inch the form is laid out at: its monitor's once loaded.
  int Dpi() const noexcept { return dpi_; }
  // The height of a line of text in the form's font at that DPI; 0 before load.
  int TextCellHeight() const noexcept { return textCell_; }

  // For controls and the message loop.
  void Add(Control& control);
  void AddButton(CommandButton& button, ButtonRole role);
  void ControlEnabledChanged(Control& control);
  void FocusChanged();
  // Key preview and dialog keys (Tab, Enter, Escape); true when the message was used.
  bool PreTranslateMessage(MSG& msg);
  // The form that a window belongs to, if it is one of ours.
  static Form* FromWindow(HWND window);

 protected:
  // Makes the window and its controls, laid out at the system's DPI, then at its
  // monitor's; at screenDpi instead, where given, as on a screen all of that DPI.
  void Load(int screenDpi = 0);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  RECT WindowRectAt(int dpi) const;
  void SetDpi(int dpi, const RECT& windowRect);
  void Paint();
  bool QueryUnload(UnloadMode mode);
  void DropFiles(HDROP drop);
  void Close(UnloadMode mode);
  void Forget();
  void RestoreFocus();
  bool KeyReachesKeyDown(WPARAM key) const;
  Control* FindControl(HWND window) const;
  CommandButton* FindButton(HWND window) const;
  int ControlId(const Control& control) const;

  FormDescription description_;
  std::vector<Control*> controls_;  // in the order they were declared, which is also their drawing order
  std::vector<CommandButton*> buttons_;
  CommandButton* defaultButton_ = nullptr;  // Enter
  CommandButton* cancelButton_ = nullptr;   // Escape
  HWND window_ = nullptr;
  int dpi_;
  win32::UniqueHFont font_;
  int textCell_ = 0;
  ColorBrush backBrush_;
  HDC paintDc_ = nullptr;
  Control* focusToRestore_ = nullptr;
  bool acceptsFiles_ = false;
};

// The window of the first loaded form: the owner of the program's message boxes.
HWND MainWindow();

// The dots per inch a window is laid out at: its form's, for one of ours.
int DpiOf(HWND window);

}  // namespace forms
