// The system's own file dialog, driven from a second thread as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "win32/failure.h"
#include "support/file_dialog.h"
#include "temp_files.h"

namespace {

using namespace std::chrono_literals;

// A visible dialog of this process, or none.
HWND FindDialog() {
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"#32770", nullptr)) != nullptr;) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

constexpr int FileNameEditId = 1152;  // edt1

// While it lives, a second thread waits for the dialog and plays the user's part on it once. Whatever is
// still open at the deadline, the dialog or a box it raised, is cancelled, so that a test never hangs.
class DialogUser {
 public:
  explicit DialogUser(std::function<void(HWND dialog, HWND fileName)> play)
      : thread_([this, play = std::move(play)] {
          const auto deadline = std::chrono::steady_clock::now() + 20s;
          for (; !done_ && std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(50ms)) {
            const HWND dialog = played_ ? nullptr : FindDialog();
            if (const HWND fileName = GetDlgItem(dialog, FileNameEditId); dialog != nullptr && fileName != nullptr) {
              play(dialog, fileName);
              played_ = true;
            }
          }
          for (; !done_; std::this_thread::sleep_for(200ms)) {
            timedOut_ = true;
            if (const HWND dialog = FindDialog()) Press(dialog, IDCANCEL);
          }
        }) {}
  ~DialogUser() {
    done_ = true;
    thread_.join();
  }
  DialogUser(const DialogUser&) = delete;
  DialogUser& operator=(const DialogUser&) = delete;

  bool Played() const { return played_ && !timedOut_; }

  static void Press(HWND dialog, int button) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  }

 private:
  std::atomic<bool> done_ = false;
  std::atomic<bool> played_ = false;
  std::atomic<bool> timedOut_ = false;
  std::thread thread_;
};

TEST(FileDialogFilterTest, SplitsIntoNamesAndPatterns) {
  using Entries = std::vector<std::pair<std::wstring, std::wstring>>;
  EXPECT_EQ(support::SplitFilter(L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*"),
            (Entries{{L"Образы Nero", L"*.NRG;*.CMD"}, {L"Все файлы", L"*.*"}}));
  EXPECT_EQ(support::SplitFilter(L""), Entries{});
  EXPECT_THROW(support::SplitFilter(L"Образы Nero|*.NRG|Все файлы"), win32::Failure);
}

TEST(SystemFileDialogTest, OpenDialogShowsTheProposedFolderAndReturnsTheNameTypedOrNothingOnCancel) {
  tests::TempFolder initial;
  tests::TempFolder proposed;
  tests::WriteBytes(initial / L"disc.nrg", {1});  // where the name would lead if the initial folder won
  tests::WriteBytes(proposed / L"disc.nrg", {2});
  support::FileDialog dialog;
  dialog.SetFilter(L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*");
  dialog.SetInitialFolder(initial.Path().wstring());
  dialog.SetFileName(proposed / L"proposed.nrg");
  {
    DialogUser user([](HWND window, HWND) { DialogUser::Press(window, IDCANCEL); });
    EXPECT_EQ(dialog.ShowOpen(), false);
    EXPECT_TRUE(user.Played()) << "no dialog came up in time";
  }
  EXPECT_EQ(dialog.FileName(), proposed / L"proposed.nrg") << "nothing chosen";

  std::wstring shownName(MAX_PATH, L'\0');
  {
    DialogUser user([&shownName](HWND window, HWND fileName) {
      shownName.resize(GetWindowTextW(fileName, shownName.data(), MAX_PATH));
      SendMessageW(fileName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"disc.nrg"));
      DialogUser::Press(window, IDOK);
    });
    EXPECT_EQ(dialog.ShowOpen(), true);
    EXPECT_TRUE(user.Played()) << "no dialog came up in time";
  }
  EXPECT_EQ(shownName, L"proposed.nrg") << "the name alone, without its folder";
  EXPECT_EQ(CompareStringOrdinal(dialog.FileName().c_str(), -1, (proposed / L"disc.nrg").c_str(), -1, TRUE),
            CSTR_EQUAL)
      << testing::PrintToString(dialog.FileName());
}

}  // namespace
