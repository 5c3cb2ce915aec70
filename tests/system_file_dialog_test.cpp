// The system's own file dialogs, driven from a second thread as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "support/failure.h"
#include "support/file_dialog.h"
#include "temp_files.h"

namespace {

using namespace std::chrono_literals;

constexpr int FileNameEditId = 1152;      // edt1 in the classic layout
constexpr int FileNameComboBoxId = 1148;  // cmb13: the newer layout's edit lies inside it

// A visible dialog of this process, or none.
HWND FindDialog() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        if (process != GetCurrentProcessId() || !IsWindowVisible(window) || lstrcmpW(className, L"#32770") != 0) {
          return TRUE;
        }
        *reinterpret_cast<HWND*>(context) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND FileNameEdit(HWND dialog) {
  if (const HWND combo = GetDlgItem(dialog, FileNameComboBoxId)) {
    if (const HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
    if (const HWND inner = FindWindowExW(combo, nullptr, L"ComboBox", nullptr)) {
      return FindWindowExW(inner, nullptr, L"Edit", nullptr);
    }
  }
  return GetDlgItem(dialog, FileNameEditId);
}

std::wstring WindowText(HWND window) {
  wchar_t text[MAX_PATH] = {};
  SendMessageW(window, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(text));
  return text;
}

// While it lives, a second thread waits for the dialog and plays the user's
// part on it. Whatever is still open at the deadline, the dialog or a box it
// raised, is cancelled, so that a test never hangs on a dialog.
class DialogUser {
 public:
  explicit DialogUser(std::function<void(HWND dialog)> play)
      : thread_([this, play = std::move(play)] { Run(play); }) {}
  ~DialogUser() {
    done_ = true;
    thread_.join();
  }
  DialogUser(const DialogUser&) = delete;
  DialogUser& operator=(const DialogUser&) = delete;

  bool Played() const { return played_; }
  bool TimedOut() const { return timedOut_; }

 private:
  void Run(const std::function<void(HWND)>& play) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    for (; !done_ && std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(50ms)) {
      if (played_) continue;
      if (const HWND dialog = FindDialog(); dialog != nullptr && FileNameEdit(dialog) != nullptr) {
        play(dialog);
        played_ = true;
      }
    }
    while (!done_) {
      timedOut_ = true;
      if (const HWND dialog = FindDialog()) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      std::this_thread::sleep_for(200ms);
    }
  }

  std::atomic<bool> done_ = false;
  std::atomic<bool> played_ = false;
  std::atomic<bool> timedOut_ = false;
  std::thread thread_;
};

void Press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

TEST(FileDialogFilterTest, SplitsIntoNamesAndPatterns) {
  const auto entries = support::SplitFilter(L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].first, L"Образы Nero");
  EXPECT_EQ(entries[0].second, L"*.NRG;*.CMD");
  EXPECT_EQ(entries[1].first, L"Все файлы");
  EXPECT_EQ(entries[1].second, L"*.*");
  EXPECT_TRUE(support::SplitFilter(L"").empty());
  EXPECT_THROW(support::SplitFilter(L"Образы Nero|*.NRG|Все файлы"), support::Failure);
}

TEST(SystemFileDialogTest, OpenDialogReturnsTheFileTypedIntoIt) {
  tests::TempFolder folder;
  const std::wstring disc = folder / L"disc.nrg";
  tests::WriteBytes(disc, {1, 2, 3});
  support::FileDialog dialog;
  dialog.SetFilter(L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*");
  dialog.SetInitialFolder(folder.Path().wstring());
  support::Flag chosen = support::False;
  {
    DialogUser user([](HWND window) {
      SendMessageW(FileNameEdit(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"disc.nrg"));
      Press(window, IDOK);
    });
    chosen = dialog.ShowOpen();
    EXPECT_TRUE(user.Played()) << "no dialog came up";
    EXPECT_FALSE(user.TimedOut());
  }
  EXPECT_EQ(chosen, support::True);
  EXPECT_TRUE(SameFile(dialog.FileName(), disc)) << testing::PrintToString(dialog.FileName());
}

TEST(SystemFileDialogTest, ProposedNameOpensInItsOwnFolder) {
  tests::TempFolder initial;
  tests::TempFolder proposed;
  tests::WriteBytes(initial / L"disc.nrg", {1});
  tests::WriteBytes(proposed / L"disc.nrg", {2});
  support::FileDialog dialog;
  dialog.SetFilter(L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*");
  dialog.SetInitialFolder(initial.Path().wstring());
  dialog.SetFileName(proposed / L"disc.nrg");
  std::wstring shownName;
  support::Flag chosen = support::False;
  {
    DialogUser user([&shownName](HWND window) {
      shownName = WindowText(FileNameEdit(window));
      Press(window, IDOK);
    });
    chosen = dialog.ShowOpen();
    EXPECT_FALSE(user.TimedOut());
  }
  EXPECT_EQ(shownName, L"disc.nrg") << "the name alone, without its folder";
  EXPECT_EQ(chosen, support::True);
  EXPECT_TRUE(SameFile(dialog.FileName(), proposed / L"disc.nrg")) << testing::PrintToString(dialog.FileName());
}

TEST(SystemFileDialogTest, SaveDialogAddsTheTypesExtensionAndCancelIsNoChoice) {
  tests::TempFolder folder;
  support::FileDialog dialog;
  dialog.SetFilter(L"Образы ISO|*.ISO;*.CMD|Все файлы|*.*");
  dialog.SetInitialFolder(folder.Path().wstring());
  support::Flag chosen = support::False;
  {
    DialogUser user([](HWND window) {
      SendMessageW(FileNameEdit(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"новый образ"));
      Press(window, IDOK);
    });
    chosen = dialog.ShowSave();
    EXPECT_FALSE(user.TimedOut());
  }
  EXPECT_EQ(chosen, support::True);
  EXPECT_TRUE(SameFile(dialog.FileName(), folder / L"новый образ.ISO")) << testing::PrintToString(dialog.FileName());

  support::FileDialog another;
  another.SetInitialFolder(folder / L"no such folder");  // passed over, not a failure
  another.SetFileName(L"disc.ISO");
  {
    DialogUser user([](HWND window) { Press(window, IDCANCEL); });
    chosen = another.ShowSave();
    EXPECT_TRUE(user.Played());
    EXPECT_FALSE(user.TimedOut());
  }
  EXPECT_EQ(chosen, support::False);
  EXPECT_EQ(another.FileName(), L"disc.ISO") << "nothing chosen";
}

}  // namespace
