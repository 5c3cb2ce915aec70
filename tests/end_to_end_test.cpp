// PELMATIC.EXE as a user meets it: its own process, its window, its boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>


#include "harness.h"
namespace {

using namespace std::chrono_literals;

template <class Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + 15s;
  for (; !condition(); std::this_thread::sleep_for(20ms)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
  }
  return true;
}

// A file dropped on the window's client area. A posted WM_DROPFILES carries only
// the handle of its block, and Wine copies nothing across processes: the block
// is written into the program's memory.
void DropFile(HANDLE process, HWND window, const std::wstring& name) {
  const std::vector<char> block = tests::DropFilesBlock({name}, {4, 4});
  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_TRUE(remote != nullptr && WriteProcessMemory(process, remote, block.data(), block.size(), nullptr));
  PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

// What a text box of the program shows now (GetWindowTextW would give its first text).
std::wstring TextOf(HWND edit) {
  wchar_t text[1024] = {};
  SendMessageW(edit, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST(EndToEndTest, ConvertsTypedNamesThenADroppedFileTellsTheOutcomeAndClosesOnEscape) {
  tests::TempFolder folder;
  const auto image = tests::PatternBytes(307200 + 3 * 65536 + 123);
  tests::WriteBytes(folder / L"диск.nrg", image);
  tests::WriteBytes(folder / L"образ.nrg", image);
  const tests::ProgramProcess program(tests::BuiltProgram(), folder.Path);
  const HWND window = program.WaitForWindow(L"TessalineForm", L"Tessaline");
  ASSERT_NE(window, nullptr) << "no window \"Tessaline\"";
  const HWND inputBox = FindWindowExW(window, nullptr, L"Edit", nullptr);
  const HWND outputBox = FindWindowExW(window, inputBox, L"Edit", nullptr);
  ASSERT_NE(outputBox, nullptr) << "two text boxes";
  const auto convert = [&](const std::wstring& output) {
    PostMessageW(outputBox, WM_KEYDOWN, VK_RETURN, 1);
    const HWND box = program.WaitForWindow(L"#32770", L"Kelvane - Tessaline");
    ASSERT_NE(box, nullptr) << "no box";
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    EXPECT_STREQ(text, L"NRG файл сконвертирован успешно ^_^v");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_EQ(tests::ReadBytes(output), std::vector<std::uint8_t>(image.begin() + 307200, image.end()));
  };

  for (const wchar_t c : folder / L"диск.nrg") PostMessageW(inputBox, WM_CHAR, c, 1);
  for (const wchar_t c : folder / L"диск.iso") PostMessageW(outputBox, WM_CHAR, c, 1);
  convert(folder / L"диск.iso");

  DropFile(program.Handle(), window, folder / L"образ.nrg");
  ASSERT_TRUE(WaitFor([&] { return TextOf(outputBox) == folder / L"образ.ISO"; })) << "the drop names both files";
  EXPECT_EQ(TextOf(inputBox), folder / L"образ.nrg");
  convert(folder / L"образ.ISO");

  PostMessageW(inputBox, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(program.WaitForExit(), 0u) << "Escape closes the idle window";
}

// Real key presses: the program reads the state of the Shift key, not the message's.
void PressShiftF1(HWND window) {
  SetForegroundWindow(window);
  WaitFor([window] { return GetForegroundWindow() == window; });
  keybd_event(VK_SHIFT, 0, 0, 0);
  keybd_event(VK_F1, 0, 0, 0);
  keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
}

// Types the two names and presses Enter: a conversion, which ends in a box.
void Convert(HWND window, const std::wstring& input, const std::wstring& output) {
  const HWND inputBox = FindWindowExW(window, nullptr, L"Edit", nullptr);
  const HWND outputBox = FindWindowExW(window, inputBox, L"Edit", nullptr);
  for (const wchar_t c : input) PostMessageW(inputBox, WM_CHAR, c, 1);
  for (const wchar_t c : output) PostMessageW(outputBox, WM_CHAR, c, 1);
  PostMessageW(outputBox, WM_KEYDOWN, VK_RETURN, 1);
}

TEST(EndToEndTest, ACloseRequestWaitsForAnOpenBoxAndTheProgramAlwaysEndsWithZero) {
  tests::TempFolder folder;
  tests::WriteBytes(folder / L"disc.nrg", tests::PatternBytes(307200 + 1000));
  const auto convert = [&folder](const wchar_t* input) {
    return [&folder, input](HWND window) { Convert(window, folder / input, folder / L"disc.iso"); };
  };
  const auto browse = [](HWND window) { PostMessageW(FindWindowExW(window, nullptr, L"Button", L"..."), BM_CLICK, 0, 0); };
  const struct {
    const char* box;
    std::function<void(HWND)> open;
    bool endSession;
  } cases[] = {
      {"About box", PressShiftF1, false},
      {"open dialog", browse, false},
      {"error box", convert(L"missing.nrg"), false},
      {"outcome box", convert(L"disc.nrg"), false},
      {"open dialog, end of session", browse, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    const tests::ProgramProcess program(tests::BuiltProgram(), folder.Path);
    const HWND window = program.WaitForWindow(L"TessalineForm", L"Tessaline");
    ASSERT_NE(window, nullptr) << "no window \"Tessaline\"";
    c.open(window);
    const HWND box = program.WaitForWindow(nullptr, nullptr, window);
    ASSERT_NE(box, nullptr) << "no box";
    // Sent rather than posted as the system does: served when the call returns.
    DWORD_PTR answer = 0;
    if (!c.endSession) {
      ASSERT_TRUE(SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &answer));
      ASSERT_TRUE(IsWindow(window)) << "the window stays under its box";
      EXPECT_TRUE(IsWindowVisible(box)) << "the box stays";
      PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
      ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); })) << "the box answered";
      PostMessageW(window, WM_CLOSE, 0, 0);
    } else {
      ASSERT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP, SMTO_NORMAL, 10000, &answer));
      EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << "the session may end";
      PostMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    }
    EXPECT_EQ(program.WaitForExit(), 0u) << "no run-time error, whatever box was open";
  }
}

}  // namespace
