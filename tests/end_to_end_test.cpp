// PELMATIC.EXE as a user meets it: its own process, its window, its boxes.
#include "harness.h"

namespace {

using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& condition) { return tests::PumpUntil(condition, 15s); }

// The text of the box the program shows now, which is then answered.
std::wstring AnswerBox(const tests::ProgramProcess& program) {
  const HWND box = program.WaitForWindow(L"#32770", L"Kelvane - Tessaline");
  const std::wstring text = tests::TextOf(GetDlgItem(box, 0xFFFF));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  return text;
}

// The window that holds the foreground, for a failure: its title, class and program.
std::string ForegroundHolder() {
  const HWND holder = GetForegroundWindow();
  wchar_t title[256] = {}, kind[256] = {}, image[MAX_PATH] = {};
  GetWindowTextW(holder, title, 256), GetClassNameW(holder, kind, 256);
  DWORD process = 0, size = MAX_PATH;
  GetWindowThreadProcessId(holder, &process);
  const win32::UniqueHandle<win32::NullEmptyTraits<HANDLE, ::CloseHandle>> handle(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
  QueryFullProcessImageNameW(handle.Get(), 0, image, &size);
  return testing::PrintToString(std::wstring(title) + L" (" + kind + L", " + image + L")");
}

// A real ISO 9660 image, made by xorriso when the tests were built, behind an NRG file's 307,200 bytes.
TEST(EndToEndTest, ConvertsADroppedFileTellsTheOutcomeAndClosesOnEscape) {
  const tests::Bytes iso = tests::ReadBytes(tests::BuiltFile(L"sample.iso"));
  if (iso.empty()) { TESSALINE_SKIP("no sample.iso: xorriso was not there when the tests were built"); }
  tests::TempFolder folder;
  tests::Bytes image = tests::PatternBytes(307200);
  image.insert(image.end(), iso.begin(), iso.end());
  tests::WriteBytes(folder / L"образ.nrg", image);
  const tests::ProgramProcess program(tests::BuiltFile(L"PELMATIC.EXE"), folder.Path);
  const HWND window = program.WaitForWindow(L"TessalineForm", L"Tessaline");
  const HWND inputBox = FindWindowExW(window, nullptr, L"Edit", nullptr);
  const HWND outputBox = FindWindowExW(window, inputBox, L"Edit", nullptr);
  ASSERT_NE(outputBox, nullptr) << "no window \"Tessaline\" with two text boxes";

  PostMessageW(window, WM_DROPFILES, tests::NewDrop({folder / L"образ.nrg"}, {4, 4}, program.Handle()), 0);
  ASSERT_TRUE(WaitFor([&] { return tests::TextOf(outputBox) == folder / L"образ.ISO"; })) << "the drop names both files";
  EXPECT_EQ(tests::TextOf(inputBox), folder / L"образ.nrg");

  PostMessageW(outputBox, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(AnswerBox(program), L"NRG файл сконвертирован успешно ^_^v");
  EXPECT_EQ(tests::ReadBytes(folder / L"образ.ISO"), iso);

  PostMessageW(inputBox, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(program.WaitForExit(), 0u) << "Escape closes the idle window";
}

TEST(EndToEndTest, ACloseRequestWaitsForAnOpenBoxAndTheProgramAlwaysEndsWithZero) {
  tests::TempFolder folder;
  tests::WriteBytes(folder / L"disc.nrg", tests::PatternBytes(307200 + 1000));
  const auto browse = [](auto&, HWND form) { PostMessageW(FindWindowExW(form, nullptr, L"Button", L"..."), BM_CLICK, 0, 0); };
  const struct { const char* box; std::function<void(const tests::ProgramProcess&, HWND)> open; bool endSession; }
  cases[] = {
      {"About box",
       [](auto&, HWND window) {  // real key presses: the program reads the state of the Shift key, not the message's
         // Refused to a process in the background (a runner's console has it), unless Alt is down; let go after
         // the switch, the press opens no menu in either window on Windows (under Wine it would).
         if (!SetForegroundWindow(window)) {
           keybd_event(VK_MENU, 0, 0, 0);
           SetForegroundWindow(window);
           keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
         }
         ASSERT_TRUE(WaitFor([window] { return GetForegroundWindow() == window; }))
             << "the keys would go to the foreground window " << ForegroundHolder();
         keybd_event(VK_SHIFT, 0, 0, 0);
         keybd_event(VK_F1, 0, 0, 0);
         keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
         keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
       },
       false},
      {"open dialog", browse, false},
      {"outcome box",  // both names from a drop, then Enter
       [&](const tests::ProgramProcess& program, HWND window) {
         PostMessageW(window, WM_DROPFILES, tests::NewDrop({folder / L"disc.nrg"}, {4, 4}, program.Handle()), 0);
         PostMessageW(FindWindowExW(window, nullptr, L"Edit", nullptr), WM_KEYDOWN, VK_RETURN, 1);
       },
       false},
      {"open dialog, end of session", browse, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    const tests::ProgramProcess program(tests::BuiltFile(L"PELMATIC.EXE"), folder.Path);
    const HWND window = program.WaitForWindow(L"TessalineForm", L"Tessaline");
    c.open(program, window);
    const HWND box = program.WaitForWindow(nullptr, nullptr, window);
    ASSERT_NE(box, nullptr) << "no box";
    // Sent rather than posted as the system does: served when the call returns.
    DWORD_PTR answer = 0;
    if (!c.endSession) {
      ASSERT_TRUE(SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 10000, &answer));
      EXPECT_TRUE(IsWindow(window) && IsWindowVisible(box)) << "the window and its box stay";
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
