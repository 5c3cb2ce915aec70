// PELMATIC.EXE as a user meets it: its own process, its window, its boxes.
#include "harness.h"

namespace {

using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& condition) { return tests::PumpUntil(condition, 15s); }

// What a text box of the program shows now (GetWindowTextW would give its first text).
std::wstring TextOf(HWND edit) {
  wchar_t text[1024] = {};
  SendMessageW(edit, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return text;
}

// Types the names into the two boxes and presses Enter: a conversion, which ends in a box.
void Convert(HWND window, const std::wstring& input, const std::wstring& output) {
  const HWND inputBox = FindWindowExW(window, nullptr, L"Edit", nullptr);
  const HWND outputBox = FindWindowExW(window, inputBox, L"Edit", nullptr);
  for (const wchar_t c : input) PostMessageW(inputBox, WM_CHAR, c, 1);
  for (const wchar_t c : output) PostMessageW(outputBox, WM_CHAR, c, 1);
  PostMessageW(outputBox, WM_KEYDOWN, VK_RETURN, 1);
}

// The text of the box the program shows now, which is then answered.
std::wstring AnswerBox(const tests::ProgramProcess& program) {
  const HWND box = program.WaitForWindow(L"#32770", L"Kelvane - Tessaline");
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  return text;
}

// A real ISO 9660 image, made by xorriso when the tests were built, behind an NRG file's 307,200 bytes.
TEST(EndToEndTest, ConvertsADroppedFileTellsTheOutcomeAndClosesOnEscape) {
  const tests::Bytes iso = tests::ReadBytes(tests::BuiltFile(L"sample.iso"));
  if (iso.empty()) GTEST_SKIP() << "no sample.iso: xorriso was not there when the tests were built";
  tests::TempFolder folder;
  tests::Bytes image = tests::PatternBytes(307200);
  image.insert(image.end(), iso.begin(), iso.end());
  tests::WriteBytes(folder / L"образ.nrg", image);
  const tests::ProgramProcess program(tests::BuiltProgram(), folder.Path);
  const HWND window = program.WaitForWindow(L"TessalineForm", L"Tessaline");
  const HWND inputBox = FindWindowExW(window, nullptr, L"Edit", nullptr);
  const HWND outputBox = FindWindowExW(window, inputBox, L"Edit", nullptr);
  ASSERT_NE(outputBox, nullptr) << "no window \"Tessaline\" with two text boxes";

  // A posted WM_DROPFILES carries only the handle of its block, and Wine copies
  // nothing across processes: the block is written into the program's memory.
  const std::vector<char> block = tests::DropFilesBlock({folder / L"образ.nrg"}, {4, 4});
  void* remote = VirtualAllocEx(program.Handle(), nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
  ASSERT_TRUE(WriteProcessMemory(program.Handle(), remote, block.data(), block.size(), nullptr));
  PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
  ASSERT_TRUE(WaitFor([&] { return TextOf(outputBox) == folder / L"образ.ISO"; })) << "the drop names both files";
  EXPECT_EQ(TextOf(inputBox), folder / L"образ.nrg");

  PostMessageW(outputBox, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(AnswerBox(program), L"NRG файл сконвертирован успешно ^_^v");
  EXPECT_EQ(tests::ReadBytes(folder / L"образ.ISO"), iso);

  // A download cut short by a sector.
  image.resize(image.size() - 2048);
  tests::WriteBytes(folder / L"образ.nrg", image);
  PostMessageW(outputBox, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(AnswerBox(program), L"Что-то пошло не так! NRG файл сконвертирован, но ISO файл меньше, чем указано в его "
                                L"файловой системе. Скорее всего, NRG файл неполный.");

  PostMessageW(inputBox, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(program.WaitForExit(), 0u) << "Escape closes the idle window";
}

TEST(EndToEndTest, ACloseRequestWaitsForAnOpenBoxAndTheProgramAlwaysEndsWithZero) {
  tests::TempFolder folder;
  tests::WriteBytes(folder / L"disc.nrg", tests::PatternBytes(307200 + 1000));
  const auto browse = [](HWND window) { PostMessageW(FindWindowExW(window, nullptr, L"Button", L"..."), BM_CLICK, 0, 0); };
  const struct {
    const char* box;
    std::function<void(HWND)> open;
    bool endSession;
  } cases[] = {
      {"About box",
       [](HWND window) {  // real key presses: the program reads the state of the Shift key, not the message's
         SetForegroundWindow(window);
         WaitFor([window] { return GetForegroundWindow() == window; });
         keybd_event(VK_SHIFT, 0, 0, 0);
         keybd_event(VK_F1, 0, 0, 0);
         keybd_event(VK_F1, 0, KEYEVENTF_KEYUP, 0);
         keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
       },
       false},
      {"open dialog", browse, false},
      {"outcome box", [&](HWND window) { Convert(window, folder / L"disc.nrg", folder / L"disc.iso"); }, false},
      {"open dialog, end of session", browse, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    const tests::ProgramProcess program(tests::BuiltProgram(), folder.Path);
    const HWND window = program.WaitForWindow(L"TessalineForm", L"Tessaline");
    c.open(window);
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
