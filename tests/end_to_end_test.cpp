// PELMATIC.EXE as a user meets it: its own process, its window, its boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "win32/unique_handle.h"
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

TEST(EndToEndTest, ConvertsTypedNamesTellsTheOutcomeAndClosesOnEscape) {
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
  using KernelHandle = win32::UniqueHandle<win32::NullEmptyTraits<HANDLE, ::CloseHandle>>;
  const KernelHandle process(started.hProcess), thread(started.hThread);
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
  Type(inputBox, input);
  Type(outputBox, output);
  PostMessageW(outputBox, WM_KEYDOWN, VK_RETURN, 1);

  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = FindProcessWindow(started.dwProcessId, L"#32770", L"Kelvane - Tessaline")); }))
      << "no box";
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  EXPECT_STREQ(text, L"NRG файл сконвертирован успешно ^_^v");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  EXPECT_EQ(tests::ReadBytes(output), std::vector<std::uint8_t>(image.begin() + HeaderSize, image.end()));

  PostMessageW(inputBox, WM_KEYDOWN, VK_ESCAPE, 1);
  ASSERT_EQ(WaitForSingleObject(process.Get(), 15000), WAIT_OBJECT_0) << "Escape closes the idle window";
  DWORD exitCode = 1;
  GetExitCodeProcess(process.Get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
}

}  // namespace
