// PELMATIC.EXE as a user meets it: its own process, its window, its boxes.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
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

// PELMATIC.EXE from beside the test program, started in the folder; ended with the object if it still runs.
class RunningProgram {
 public:
  explicit RunningProgram(const std::wstring& folder) {
    wchar_t self[MAX_PATH];
    const std::wstring selfPath(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    std::wstring commandLine = L"\"" + selfPath.substr(0, selfPath.find_last_of(L'\\') + 1) + L"PELMATIC.EXE\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &started)) {
      return;
    }
    process_.Reset(started.hProcess);
    thread_.Reset(started.hThread);
    id_ = started.dwProcessId;
    WaitFor([this] { return (window_ = TopWindow(L"TessalineForm", L"Tessaline")) != nullptr; });
  }
  ~RunningProgram() { TerminateProcess(process_.Get(), 9); }

  // The main window; null when the program could not be started or showed none.
  HWND Window() const { return window_; }

  // A visible top-level window of the process with this class, title and owner (null: any), or none.
  HWND TopWindow(const wchar_t* className, const wchar_t* title, HWND owner = nullptr) const {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, title)) != nullptr;) {
      DWORD process = 0;
      GetWindowThreadProcessId(window, &process);
      if (process == id_ && IsWindowVisible(window) && (!owner || GetWindow(window, GW_OWNER) == owner)) return window;
    }
    return nullptr;
  }

  // The exit code once the process has ended; nothing while it still runs after 15 s.
  std::optional<DWORD> ExitCode() const {
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process_.Get(), 15000) == WAIT_OBJECT_0;
    return ended && GetExitCodeProcess(process_.Get(), &code) ? std::optional(code) : std::nullopt;
  }

 private:
  win32::UniqueKernelHandle process_, thread_;
  DWORD id_ = 0;
  HWND window_ = nullptr;
};

// Types the two names and presses Enter: a conversion, which ends in a box.
void Convert(HWND window, const std::wstring& input, const std::wstring& output) {
  const HWND inputBox = FindWindowExW(window, nullptr, L"Edit", nullptr);
  const HWND outputBox = FindWindowExW(window, inputBox, L"Edit", nullptr);
  for (const wchar_t c : input) PostMessageW(inputBox, WM_CHAR, c, 1);
  for (const wchar_t c : output) PostMessageW(outputBox, WM_CHAR, c, 1);
  PostMessageW(outputBox, WM_KEYDOWN, VK_RETURN, 1);
}

std::wstring BoxText(HWND box) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  return text;
}

TEST(EndToEndTest, ConvertsTypedNamesTellsTheOutcomeAndClosesOnEscape) {
  tests::TempFolder folder;
  const auto image = tests::PatternBytes(HeaderSize + 3 * 65536 + 123);
  const std::wstring output = folder / L"диск.iso";
  tests::WriteBytes(folder / L"диск.nrg", image);

  const RunningProgram program(folder.Path().wstring());
  ASSERT_NE(program.Window(), nullptr) << "no window \"Tessaline\"";
  Convert(program.Window(), folder / L"диск.nrg", output);
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = program.TopWindow(L"#32770", L"Kelvane - Tessaline")) != nullptr; }))
      << "no box";
  EXPECT_EQ(BoxText(box), L"NRG файл сконвертирован успешно ^_^v");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  EXPECT_EQ(tests::ReadBytes(output), std::vector<std::uint8_t>(image.begin() + HeaderSize, image.end()));

  PostMessageW(FindWindowExW(program.Window(), nullptr, L"Edit", nullptr), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(program.ExitCode(), 0u) << "Escape closes the idle window";
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

void ClickBrowseInput(HWND window) { PostMessageW(FindWindowExW(window, nullptr, L"Button", L"..."), BM_CLICK, 0, 0); }

enum class Request { Close, EndSession };

void RequestWhileBoxIsOpen(const std::wstring& folder, const std::function<void(HWND)>& openBox, Request request) {
  const RunningProgram program(folder);
  const HWND window = program.Window();
  ASSERT_NE(window, nullptr) << "no window \"Tessaline\"";
  openBox(window);
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (box = program.TopWindow(nullptr, nullptr, window)) != nullptr; })) << "no box";

  // Sent rather than posted as the system does: served when the call returns.
  DWORD_PTR answer = 0;
  if (request == Request::Close) {
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
  EXPECT_EQ(program.ExitCode(), 0u)
      << "box left: " << testing::PrintToString(BoxText(program.TopWindow(L"#32770", nullptr)));
}

TEST(EndToEndTest, ACloseRequestWaitsForAnOpenBoxAndTheProgramAlwaysEndsWithZero) {
  tests::TempFolder folder;
  tests::WriteBytes(folder / L"disc.nrg", tests::PatternBytes(HeaderSize + 1000));
  const auto convert = [&folder](const wchar_t* input) {
    return [&folder, input](HWND window) { Convert(window, folder / input, folder / L"disc.iso"); };
  };
  const struct {
    const char* box;
    std::function<void(HWND)> open;
    Request request;
  } cases[] = {
      {"About box", PressShiftF1, Request::Close},
      {"open dialog", ClickBrowseInput, Request::Close},
      {"error box", convert(L"missing.nrg"), Request::Close},
      {"outcome box", convert(L"disc.nrg"), Request::Close},
      {"open dialog", ClickBrowseInput, Request::EndSession},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.box) + (c.request == Request::Close ? ", close" : ", end of session"));
    RequestWhileBoxIsOpen(folder.Path().wstring(), c.open, c.request);
  }
}

}  // namespace
