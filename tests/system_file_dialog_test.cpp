// The system's own file dialog, driven from a second thread as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/file_dialog.h"
#include "temp_files.h"
#include "win32/failure.h"

namespace {

using namespace std::chrono_literals;

// While it lives, a second thread plays the user's part on the dialog of this process once
// it shows its file name box (edt1); whatever is still open at its end is cancelled, so that no test hangs.
class DialogUser {
 public:
  explicit DialogUser(std::function<void(HWND dialog, HWND fileName)> play)
      : thread_([this, play = std::move(play)] {
          for (auto deadline = std::chrono::steady_clock::now() + 20s; !done_; std::this_thread::sleep_for(50ms)) {
            HWND dialog = nullptr;
            DWORD process = 0;
            while ((dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr)) != nullptr &&
                   (GetWindowThreadProcessId(dialog, &process), process != GetCurrentProcessId())) {
            }
            const HWND fileName = GetDlgItem(dialog, 1152);
            if (fileName != nullptr && !played_ && std::chrono::steady_clock::now() < deadline) {
              play(dialog, fileName);
              played_ = true;
            } else if (dialog != nullptr && std::chrono::steady_clock::now() >= deadline) {
              PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            }
          }
        }) {}
  ~DialogUser() {
    done_ = true;
    thread_.join();
  }
  std::atomic<bool> played_ = false;

 private:
  std::atomic<bool> done_ = false;
  std::thread thread_;
};

TEST(SystemFileDialogTest, OpensInTheProposedNamesFolderAndReturnsTheChosenNameOrNothing) {
  using Entries = std::vector<std::pair<std::wstring, std::wstring>>;
  EXPECT_EQ(support::SplitFilter(L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*"),
            (Entries{{L"Образы Nero", L"*.NRG;*.CMD"}, {L"Все файлы", L"*.*"}}));
  EXPECT_THROW(support::SplitFilter(L"Образы Nero|*.NRG|Все файлы"), win32::Failure);

  tests::TempFolder initial, proposed;
  tests::WriteBytes(initial / L"disc.nrg", {1});  // where the name would lead if the initial folder won
  tests::WriteBytes(proposed / L"disc.nrg", {2});
  support::FileDialog dialog;
  dialog.SetFilter(L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*");
  dialog.SetInitialFolder(initial.Path().wstring());
  dialog.SetFileName(proposed / L"proposed.nrg");
  {
    DialogUser user([](HWND window, HWND) { PostMessageW(window, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(dialog.ShowOpen());
    EXPECT_TRUE(user.played_) << "no dialog came up in time";
  }
  std::wstring shownName(MAX_PATH, L'\0');
  {
    DialogUser user([&shownName](HWND window, HWND fileName) {
      shownName.resize(GetWindowTextW(fileName, shownName.data(), MAX_PATH));
      SendMessageW(fileName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"disc.nrg"));
      PostMessageW(window, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(dialog.ShowOpen());
    EXPECT_TRUE(user.played_) << "no dialog came up in time";
  }
  EXPECT_EQ(shownName, L"proposed.nrg") << "the name alone, without its folder";
  EXPECT_EQ(CompareStringOrdinal(dialog.FileName().c_str(), -1, (proposed / L"disc.nrg").c_str(), -1, TRUE), CSTR_EQUAL)
      << testing::PrintToString(dialog.FileName());
}

}  // namespace
