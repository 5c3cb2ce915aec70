// What the tests share: files, the message pump and keys, the main window, boxes, the registry, processes.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion/run_flags.h"
#include "forms/message_box.h"
#include "ui/frm_main.h"
#include "win32/unique_handle.h"

namespace tests {

using namespace std::chrono_literals;

// A fresh folder for one test, removed with everything in it afterwards.
struct TempFolder {
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::wstring operator/(const std::wstring& name) const { return (Path / name).wstring(); }
  std::filesystem::path Path;
};

// Bytes that differ from offset to offset, so that a shifted or repeated chunk shows.
std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t seed = 1);
void WriteBytes(const std::wstring& fileName, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::wstring& fileName);

// Serves window messages the way the program's message loop does, until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 3000ms);
// True once a WM_QUIT has come through PumpUntil since the last call.
bool TakeQuit();
// A key pressed with the modifier keys (forms::ShiftMask ...) held, sent to the focused window or the given one.
void PressKey(UINT virtualKey, short modifiers = 0, HWND target = nullptr);
void TypeText(const std::wstring& text);
RECT RectInParent(HWND window);
COLORREF ClientPixel(HWND window, int x, int y);

// Stands in for the system's message box while it lives: records every box and
// answers with the scripted buttons, then with IDOK.
class MessageBoxRecorder {
 public:
  // Runs when a box is shown, before it is answered (to look at the program's state then).
  std::function<void(const forms::MessageBoxRequest&)> WhileShown;
  void AnswerWith(int button) { answers_.push_back(button); }
  const std::vector<forms::MessageBoxRequest>& Boxes() const { return boxes_; }

 private:
  std::vector<forms::MessageBoxRequest> boxes_;
  std::deque<int> answers_;
  win32::Seam<forms::MessageBoxFunction>::Override override_ =
      forms::MessageBoxSeam.Replace([this](const forms::MessageBoxRequest& request) {
        boxes_.push_back(request);
        if (WhileShown) WhileShown(request);
        const int answer = answers_.empty() ? IDOK : answers_.front();
        if (!answers_.empty()) answers_.pop_front();
        return answer;
      });
};

// A real main window, shown and focused, for one test.
class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  ui::frmMain& Form() { return *form_; }
  MessageBoxRecorder boxes_;
  std::unique_ptr<ui::frmMain> form_;
};

// Points the program's settings at a registry key of the test's own while it lives.
class TestSettingsRoot {
 public:
  TestSettingsRoot();
  ~TestSettingsRoot();
  TestSettingsRoot(const TestSettingsRoot&) = delete;
  TestSettingsRoot& operator=(const TestSettingsRoot&) = delete;
  // Read straight from the registry, past the settings store.
  std::optional<std::wstring> StoredText(const std::wstring& key) const;
  std::wstring Section() const { return root_ + L"\\Paths"; }

 private:
  std::wstring previous_, root_;
};

// A key under HKEY_CURRENT_USER whose access list grants only reading while it
// lives, as on a locked-down profile; deleted afterwards.
class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(std::wstring path);
  ~ReadOnlyKey();
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

 private:
  bool SetAccess(const wchar_t* sddl) const;
  std::wstring path_;
};

// The built PELMATIC.EXE, beside the test program.
std::wstring BuiltProgram();

// A program started as its own process in the given folder, ended at the latest when this owner goes.
class ProgramProcess {
 public:
  ProgramProcess(const std::wstring& program, const std::wstring& folder);
  ~ProgramProcess();
  // Its visible top-level window of this class, title and owner (null: any), once there is one; null after 15 s.
  HWND WaitForWindow(const wchar_t* className, const wchar_t* title, HWND owner = nullptr) const;
  // Its exit code once it has ended; nothing while it still runs after 15 s.
  std::optional<DWORD> WaitForExit() const;
  HANDLE Handle() const noexcept { return process_.Get(); }

 private:
  DWORD id_ = 0;
  win32::UniqueHandle<win32::NullEmptyTraits<HANDLE, ::CloseHandle>> process_;
};

// What the shell hands a window with WM_DROPFILES: a DROPFILES block with the
// wide names after it, each ended by a null and the list by one more; the
// point in the client area of the window that gets the message.
std::vector<char> DropFilesBlock(const std::vector<std::wstring>& names, POINT point);

}  // namespace tests
