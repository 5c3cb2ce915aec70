// The browse buttons of the main window, with a scripted file dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "forms/current_directory.h"
#include "forms/runtime_error.h"
#include "message_box_recorder.h"
#include "settings_key.h"
#include "support/file_dialog.h"
#include "temp_files.h"
#include "ui/frm_main.h"

namespace {

using support::FileDialogKind;
using support::FileDialogRequest;

constexpr wchar_t Paths[] = L"Paths";
constexpr wchar_t OpenKey[] = L"Last Open NRG Path";
constexpr wchar_t SaveKey[] = L"Last Save ISO Path";
constexpr wchar_t InputFilter[] = L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*";
constexpr wchar_t OutputFilter[] = L"Образы ISO|*.ISO;*.CMD|Все файлы|*.*";

// What the program had done when a text box reported its change.
struct Change {
  std::wstring Box;
  std::wstring In;
  std::wstring Out;
  std::optional<std::wstring> OpenFolder;
  std::optional<std::wstring> SaveFolder;
  bool StartEnabled = false;
};

// Makes the current directory the given folder for the scope.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::wstring& folder) : previous_(forms::CurDir()) {
    SetCurrentDirectoryW(folder.c_str());
  }
  ~CurrentDirectory() { SetCurrentDirectoryW(previous_.c_str()); }

 private:
  std::wstring previous_;
};

class FileSelectionTest : public testing::Test {
 protected:
  FileSelectionTest() {
    form_.Show();
    Record(form_.txtInFileName, L"in");
    Record(form_.txtOutFileName, L"out");
  }

  ~FileSelectionTest() override {
    form_.Unload();
    // The last form unloaded ends the message loop; there is none here to end.
    MSG quit;
    while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  void Record(forms::TextBox& box, const wchar_t* name) {
    box.OnChange = [this, name, handler = box.OnChange] {
      handler();
      changes_.push_back({name, form_.txtInFileName.Text(), form_.txtOutFileName.Text(),
                          settings_.StoredText(Paths, OpenKey), settings_.StoredText(Paths, SaveKey),
                          form_.cmdStart.Enabled()});
    };
  }

  // Types into the boxes without recording it.
  void Type(const std::wstring& in, const std::wstring& out) {
    form_.txtInFileName.SetText(in);
    form_.txtOutFileName.SetText(out);
    changes_.clear();
  }

  // A click as the user makes it: through the window, so that a run-time error is reported.
  void Click(forms::CommandButton& button) {
    SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button.Handle()), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button.Handle()));
  }

  // The next dialog answers with this choice, or is cancelled.
  void Answer(std::optional<std::wstring> choice) { answers_.push_back(std::move(choice)); }

  tests::TestSettingsRoot settings_;
  ui::frmMain form_;
  std::vector<Change> changes_;
  std::vector<FileDialogRequest> requests_;
  std::deque<std::optional<std::wstring>> answers_;
  std::function<void()> whileShown_;
  support::Seam<support::ShowFileDialogFunction>::Override dialog_ =
      support::FileDialogSeam.Replace([this](const FileDialogRequest& request) -> std::optional<std::wstring> {
        requests_.push_back(request);
        if (whileShown_) whileShown_();
        if (answers_.empty()) {
          ADD_FAILURE() << "unexpected file dialog";
          return std::nullopt;
        }
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
      });
};

TEST_F(FileSelectionTest, CancelledDialogsChangeNothing) {
  Type(L"D:\\old.nrg", L"D:\\old.iso");
  Answer(std::nullopt);
  Answer(std::nullopt);

  Click(form_.cmdBrowseInFile);
  Click(form_.cmdBrowseOutFile);

  ASSERT_EQ(requests_.size(), 2u);
  EXPECT_TRUE(changes_.empty());
  EXPECT_EQ(form_.txtInFileName.Text(), L"D:\\old.nrg");
  EXPECT_EQ(form_.txtOutFileName.Text(), L"D:\\old.iso");
  EXPECT_FALSE(settings_.SectionExists(Paths)) << "no folder written, not even an empty section";
}

TEST_F(FileSelectionTest, OpenDialogIsPreparedFromTheBoxAndTheCurrentDirectoryOnFirstUse) {
  tests::TempFolder folder;
  const CurrentDirectory current(folder.Path().wstring());
  Type(L"D:\\typed.nrg", L"");
  Answer(std::nullopt);

  Click(form_.cmdBrowseInFile);

  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].Kind, FileDialogKind::Open);
  EXPECT_EQ(requests_[0].Filter, InputFilter);
  EXPECT_EQ(requests_[0].Owner, form_.Handle());
  EXPECT_EQ(requests_[0].InitialFolder, folder.Path().wstring());
  EXPECT_EQ(requests_[0].FileName, L"D:\\typed.nrg");
}

TEST_F(FileSelectionTest, ConfirmedInputIsRememberedThenSetThenGivesTheOutputName) {
  Type(L"", L"D:\\typed by the user.iso");
  Answer(L"D:\\Images\\disc.nrg");

  Click(form_.cmdBrowseInFile);

  ASSERT_EQ(changes_.size(), 2u);
  const Change& in = changes_[0];
  EXPECT_EQ(in.Box, L"in");
  EXPECT_EQ(in.In, L"D:\\Images\\disc.nrg");
  EXPECT_EQ(in.Out, L"D:\\typed by the user.iso") << "the input box comes first";
  EXPECT_EQ(in.OpenFolder, L"D:\\Images") << "the folder is written before any box changes";
  EXPECT_TRUE(in.StartEnabled);
  const Change& out = changes_[1];
  EXPECT_EQ(out.Box, L"out");
  EXPECT_EQ(out.Out, L"D:\\Images\\disc.ISO");
  EXPECT_EQ(out.SaveFolder, std::nullopt) << "the output side's folder stays as it was";
}

TEST_F(FileSelectionTest, StartIsEnabledOnceTheDialogsHaveSetBothNames) {
  Answer(L"D:\\Images\\disc.nrg");
  ASSERT_FALSE(form_.cmdStart.Enabled());

  Click(form_.cmdBrowseInFile);

  ASSERT_EQ(changes_.size(), 2u);
  EXPECT_FALSE(changes_[0].StartEnabled) << "new input, old empty output";
  EXPECT_TRUE(changes_[1].StartEnabled);
  EXPECT_TRUE(form_.cmdStart.Enabled());
}

TEST_F(FileSelectionTest, ConfirmedOutputTouchesOnlyTheOutputSide) {
  Type(L"D:\\Images\\disc.nrg", L"");
  Answer(L"E:\\ISO\\Новый образ.iso");

  Click(form_.cmdBrowseOutFile);

  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].Kind, FileDialogKind::Save);
  EXPECT_EQ(requests_[0].Filter, OutputFilter);
  EXPECT_EQ(requests_[0].Owner, form_.Handle());
  ASSERT_EQ(changes_.size(), 1u);
  EXPECT_EQ(changes_[0].Box, L"out");
  EXPECT_EQ(changes_[0].SaveFolder, L"E:\\ISO");
  EXPECT_EQ(form_.txtOutFileName.Text(), L"E:\\ISO\\Новый образ.iso") << "taken as chosen, nothing derived";
  EXPECT_EQ(form_.txtInFileName.Text(), L"D:\\Images\\disc.nrg");
  EXPECT_EQ(settings_.StoredText(Paths, OpenKey), std::nullopt);
}

TEST_F(FileSelectionTest, NextDialogsOpenInTheirOwnRememberedFolders) {
  Answer(L"D:\\Images\\disc.nrg");
  Answer(L"E:\\ISO\\disc.ISO");
  Answer(std::nullopt);
  Answer(std::nullopt);
  Click(form_.cmdBrowseInFile);
  Click(form_.cmdBrowseOutFile);
  Click(form_.cmdBrowseInFile);
  Click(form_.cmdBrowseOutFile);

  ASSERT_EQ(requests_.size(), 4u);
  EXPECT_EQ(requests_[1].InitialFolder, forms::CurDir()) << "choosing an input does not move the save dialog";
  EXPECT_EQ(requests_[1].FileName, L"D:\\Images\\disc.ISO") << "the save dialog proposes the derived name";
  EXPECT_EQ(requests_[2].InitialFolder, L"D:\\Images");
  EXPECT_EQ(requests_[2].FileName, L"D:\\Images\\disc.nrg");
  EXPECT_EQ(requests_[3].InitialFolder, L"E:\\ISO");
  EXPECT_EQ(requests_[3].FileName, L"E:\\ISO\\disc.ISO");
}

TEST_F(FileSelectionTest, EveryConfirmationWritesTheFolderAgain) {
  settings_.StoreText(Paths, OpenKey, L"D:\\Images");
  // Meanwhile another run of the program remembers another folder.
  whileShown_ = [this] { settings_.StoreText(Paths, OpenKey, L"F:\\elsewhere"); };
  Answer(L"D:\\Images\\disc.nrg");

  Click(form_.cmdBrowseInFile);

  ASSERT_EQ(requests_.size(), 1u);
  EXPECT_EQ(requests_[0].InitialFolder, L"D:\\Images");
  EXPECT_EQ(settings_.StoredText(Paths, OpenKey), L"D:\\Images");
}

TEST_F(FileSelectionTest, FailedFolderWriteEndsTheClickBeforeAnyBoxChanges) {
  // The registry keeps no lasting key under one that dies with the session.
  HKEY volatileRoot = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, settings_.Root().c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_READ,
                            nullptr, &volatileRoot, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileRoot);
  tests::MessageBoxRecorder boxes;
  int endedWith = 0;
  auto end = forms::EndProgramSeam.Replace([&](int code) { endedWith = code; });
  Type(L"D:\\old.nrg", L"D:\\old.iso");
  Answer(L"D:\\Images\\disc.nrg");

  Click(form_.cmdBrowseInFile);

  EXPECT_TRUE(changes_.empty());
  EXPECT_EQ(form_.txtInFileName.Text(), L"D:\\old.nrg");
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].Text.rfind(L"Ошибка выполнения.", 0), 0u) << boxes.Boxes()[0].Text;
  EXPECT_EQ(endedWith, 1);
}

}  // namespace
