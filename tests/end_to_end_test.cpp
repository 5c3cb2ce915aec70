// PELMATIC.EXE as a user meets it: its own process, its window, its boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/unique_handle.h"
#include "temp_files.h"

namespace {

using namespace std::chrono_literals;

constexpr unsigned long HeaderSize = 307200;

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"PELMATIC.EXE";
}

template <class Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds timeout = 15000ms) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  const wchar_t* title;
  HWND found = nullptr;
};

HWND FindProcessWindow(DWORD processId, const wchar_t* className, const wchar_t* title) {
  WindowSearch search{processId, className, title};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<WindowSearch*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t text[256] = {}, cls[256] = {};
        GetWindowTextW(window, text, 256);
        GetClassNameW(window, cls, 256);
        if (owner == s.processId && IsWindowVisible(window) && lstrcmpW(cls, s.className) == 0 &&
            lstrcmpW(text, s.title) == 0) {
          s.found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
  struct Search {
    const wchar_t* className;
    std::vector<HWND> found;
  } search{className, {}};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        wchar_t cls[64] = {};
        GetClassNameW(window, cls, 64);
        if (lstrcmpiW(cls, s.className) == 0) s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void Type(HWND edit, const std::wstring& text) {
  for (const wchar_t c : text) PostMessageW(edit, WM_CHAR, c, 1);
}

class EndToEndTest : public testing::Test {
 protected:
  void SetUp() override {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder_.Path().c_str(), &startup, &process_))
        << "cannot start " << testing::PrintToString(ProgramPath());
    processHandle_.Reset(process_.hProcess);
    support::UniqueKernelHandle thread(process_.hThread);
    ASSERT_TRUE(WaitFor([&] { return (window_ = FindProcessWindow(process_.dwProcessId, L"TessalineForm", L"Tessaline")); }))
        << "no window \"Tessaline\"";
  }

  void TearDown() override {
    if (WaitForSingleObject(processHandle_.Get(), 0) == WAIT_TIMEOUT) TerminateProcess(processHandle_.Get(), 9);
  }

  // Waits for the program's message box and returns its text.
  std::wstring BoxText(HWND& box) {
    if (!WaitFor([&] { return (box = FindProcessWindow(process_.dwProcessId, L"#32770", L"Kelvane - Tessaline")); })) {
      return L"<no box>";
    }
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
  }

  tests::TempFolder folder_;
  PROCESS_INFORMATION process_{};
  support::UniqueKernelHandle processHandle_;
  HWND window_ = nullptr;
};

TEST_F(EndToEndTest, ConvertsTypedNamesAndClosesOnEscape) {
  const auto image = tests::PatternBytes(HeaderSize + 3 * 65536 + 123);
  const std::wstring input = folder_ / L"диск.nrg";
  const std::wstring output = folder_ / L"диск.iso";
  tests::WriteBytes(input, image);

  const auto edits = ChildrenOfClass(window_, L"Edit");
  ASSERT_EQ(edits.size(), 2u);
  Type(edits[0], input);
  Type(edits[1], output);
  PostMessageW(edits[1], WM_KEYDOWN, VK_RETURN, 1);

  HWND box = nullptr;
  EXPECT_EQ(BoxText(box), L"NRG файл сконвертирован успешно ^_^v");
  ASSERT_NE(box, nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));

  EXPECT_EQ(tests::ReadBytes(output), std::vector<std::uint8_t>(image.begin() + HeaderSize, image.end()));

  PostMessageW(edits[0], WM_KEYDOWN, VK_ESCAPE, 1);
  ASSERT_EQ(WaitForSingleObject(processHandle_.Get(), 15000), WAIT_OBJECT_0) << "Escape closes the idle window";
  DWORD exitCode = 1;
  GetExitCodeProcess(processHandle_.Get(), &exitCode);
  EXPECT_EQ(exitCode, 0u);
}

TEST_F(EndToEndTest, MissingInputIsToldWithTheSystemsWords) {
  const auto edits = ChildrenOfClass(window_, L"Edit");
  ASSERT_EQ(edits.size(), 2u);
  Type(edits[0], folder_ / L"нет такого.nrg");
  Type(edits[1], folder_ / L"out.iso");
  PostMessageW(edits[0], WM_KEYDOWN, VK_RETURN, 1);

  HWND box = nullptr;
  const std::wstring text = BoxText(box);
  EXPECT_EQ(text.rfind(L"Не удаётся открыть NRG файл.\r\n\r\n", 0), 0u) << testing::PrintToString(text);
  EXPECT_NE(text.find(L"(2)"), std::wstring::npos);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  EXPECT_FALSE(tests::FileExists(folder_ / L"out.iso"));

  PostMessageW(window_, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(processHandle_.Get(), 15000), WAIT_OBJECT_0);
}

}  // namespace
