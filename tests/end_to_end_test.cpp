// PELMATIC.EXE as a user meets it: its own process, its window, its boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "drop_files.h"
#include "temp_files.h"
#include "win32/unique_handle.h"

namespace {

using namespace std::chrono_literals;

constexpr unsigned long HeaderSize = 307200;

template <class Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + 15s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

// A visible top-level window of the process with this class and title, or none.
HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title) {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, title)) != nullptr;) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

void Type(HWND edit, const std::wstring& text) {
  for (const wchar_t c : text) PostMessageW(edit, WM_CHAR, c, 1);
}

// A file dropped on the window's client area, as the shell hands it over. A
// posted WM_DROPFILES carries only the handle of its block, and Wine copies
// nothing across processes: the block is written into the program's memory.
void DropFile(HANDLE process, HWND window, const std::wstring& name) {
  const std::vector<char> block = tests::DropFilesBlock({name}, {4, 4});
  void* remote = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  ASSERT_TRUE(WriteProcessMemory(process, remote, block.data(), block.size(), nullptr));
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
  const auto image = tests::PatternBytes(HeaderSize + 3 * 65536 + 123);
  const std::wstring input = folder / L"диск.nrg";
  const std::wstring output = folder / L"диск.iso";
  tests::WriteBytes(input, image);

  wchar_t self[MAX_PATH];
  const std::wstring selfPath(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  const std::wstring program = selfPath.substr(0, selfPath.find_last_of(L'\\') + 1) + L"PELMATIC.EXE";
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.Path().c_str(),
                             &startup, &started))
      << "cannot start " << testing::PrintToString(program);
  const win32::UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  struct EndIfRunning {  // when the test leaves early
    HANDLE process;
    ~EndIfRunning() { TerminateProcess(process, 9); }
  } const endIfRunning{process.Get()};

  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = FindProcessWindow(started.dwProcessId, L"TessalineForm", L"Tessaline")); }))
      << "no window \"Tessaline\"";
  const HWND inputBox = FindWindowExW(window, nullptr, L"Edit", nullptr);
  const HWND outputBox = FindWindowExW(window, inputBox, L"Edit", nullptr);
  ASSERT_NE(outputBox, nullptr) << "two text boxes";
  const auto convert = [&](const std::wstring& expectedOutput) {
    PostMessageW(outputBox, WM_KEYDOWN, VK_RETURN, 1);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (box = FindProcessWindow(started.dwProcessId, L"#32770", L"Kelvane - Tessaline")); }))
        << "no box";
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    EXPECT_STREQ(text, L"NRG файл сконвертирован успешно ^_^v");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_EQ(tests::ReadBytes(expectedOutput), std::vector<std::uint8_t>(image.begin() + HeaderSize, image.end()));
  };
  Type(inputBox, input);
  Type(outputBox, output);
  convert(output);

  const std::wstring dropped = folder / L"образ.nrg";
  tests::WriteBytes(dropped, image);
  DropFile(process.Get(), window, dropped);
  ASSERT_TRUE(WaitFor([&] { return TextOf(outputBox) == folder / L"образ.ISO"; }))
      << "the dropped file names both files";
  EXPECT_EQ(TextOf(inputBox), dropped);
  convert(folder / L"образ.ISO");

  PostMessageW(inputBox, WM_KEYDOWN, VK_ESCAPE, 1);
  ASSERT_EQ(WaitForSingleObject(process.Get(), 15000), WAIT_OBJECT_0) << "Escape closes the idle window";
  DWORD exitCode = 1;
  GetExitCodeProcess(process.Get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
