// PELMATIC.EXE as a user meets it: its own process, its window, its boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "drop_files.h"
#include "program_process.h"
#include "temp_files.h"

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
  const tests::ProgramProcess program(tests::BuiltProgram(), folder.Path());
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

}  // namespace
