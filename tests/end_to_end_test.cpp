// PELMATIC.EXE as a user meets it: its own process, its window, its boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "program_process.h"
#include "temp_files.h"

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

void Type(HWND edit, const std::wstring& text) {
  for (const wchar_t c : text) PostMessageW(edit, WM_CHAR, c, 1);
}

TEST(EndToEndTest, ConvertsTypedNamesTellsTheOutcomeAndClosesOnEscape) {
  tests::TempFolder folder;
  const auto image = tests::PatternBytes(HeaderSize + 3 * 65536 + 123);
  const std::wstring input = folder / L"диск.nrg";
  const std::wstring output = folder / L"диск.iso";
  tests::WriteBytes(input, image);

  const tests::ProgramProcess program(tests::BuiltProgram(), folder.Path());
  const HWND window = program.WaitForWindow(L"TessalineForm", L"Tessaline");
  ASSERT_NE(window, nullptr) << "no window \"Tessaline\"";
  const HWND inputBox = FindWindowExW(window, nullptr, L"Edit", nullptr);
  const HWND outputBox = FindWindowExW(window, inputBox, L"Edit", nullptr);
  ASSERT_NE(outputBox, nullptr) << "two text boxes";
  Type(inputBox, input);
  Type(outputBox, output);
  PostMessageW(outputBox, WM_KEYDOWN, VK_RETURN, 1);

  const HWND box = program.WaitForWindow(L"#32770", L"Kelvane - Tessaline");
  ASSERT_NE(box, nullptr) << "no box";
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  EXPECT_STREQ(text, L"NRG файл сконвертирован успешно ^_^v");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  EXPECT_EQ(tests::ReadBytes(output), std::vector<std::uint8_t>(image.begin() + HeaderSize, image.end()));

  PostMessageW(inputBox, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(program.WaitForExit(), 0u) << "Escape closes the idle window";
}

}  // namespace
