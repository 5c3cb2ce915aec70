// The browse buttons of the main window, with a scripted file dialog, and the folders they remember.
#include <gtest/gtest.h>
#include <windows.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/main.h"
#include "harness.h"
#include "support/file_dialog.h"
#include "ui/frm_main.h"

namespace {

using support::FileDialogKind;
using support::FileDialogRequest;

constexpr wchar_t OpenKey[] = L"Last Open NRG Path";
constexpr wchar_t SaveKey[] = L"Last Save ISO Path";

// What the program had done when a text box reported its change.
struct Change {
  std::wstring Box, In, Out;
  std::optional<std::wstring> OpenFolder, SaveFolder;
  bool StartEnabled = false;
};

class FileSelectionTest : public testing::Test {
 protected:
  FileSelectionTest() {
    form_.Show();
    for (forms::TextBox* box : {&form_.txtInFileName, &form_.txtOutFileName}) {
      box->OnChange = [this, box, handler = box->OnChange] {
        handler();
        changes_.push_back({box == &form_.txtInFileName ? L"in" : L"out", form_.txtInFileName.Text(),
                            form_.txtOutFileName.Text(), settings_.StoredText(OpenKey), settings_.StoredText(SaveKey),
                            form_.cmdStart.Enabled()});
      };
    }
  }

  ~FileSelectionTest() override {
    form_.Unload();
    tests::TakeQuit();
  }

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

  void ExpectRequest(std::size_t index, FileDialogKind kind, const std::wstring& folder, const std::wstring& name) {
    SCOPED_TRACE(testing::Message() << "dialog " << index);
    ASSERT_LT(index, requests_.size());
    const FileDialogRequest& request = requests_[index];
    EXPECT_EQ(request.Kind, kind);
    EXPECT_EQ(request.Filter, kind == FileDialogKind::Open ? L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*"
                                                           : L"Образы ISO|*.ISO;*.CMD|Все файлы|*.*");
    EXPECT_EQ(request.Owner, form_.Handle());
    EXPECT_EQ(request.InitialFolder, folder);
    EXPECT_EQ(request.FileName, name);
  }

  tests::TestSettingsRoot settings_;
  ui::frmMain form_;
  std::vector<Change> changes_;
  std::vector<FileDialogRequest> requests_;
  // The next dialogs' answers in turn: a choice, or nullopt for a cancelled dialog.
  std::deque<std::optional<std::wstring>> answers_;
  win32::Seam<support::ShowFileDialogFunction>::Override dialog_ =
      support::FileDialogSeam.Replace([this](const FileDialogRequest& request) -> std::optional<std::wstring> {
        requests_.push_back(request);
        if (answers_.empty()) return ADD_FAILURE() << "unexpected file dialog", std::nullopt;
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
      });
};

TEST_F(FileSelectionTest, CancelledDialogsProposeTheBoxesNamesInTheCurrentDirectoryAndChangeNothing) {
  const DWORD notText = 7;  // a value of another type reads as nothing stored
  RegSetKeyValueW(HKEY_CURRENT_USER, settings_.Section().c_str(), OpenKey, REG_DWORD, &notText, sizeof notText);
  Type(L"D:\\old.nrg", L"D:\\old.iso");
  answers_ = {std::nullopt, std::nullopt};

  Click(form_.cmdBrowseInFile);
  Click(form_.cmdBrowseOutFile);

  const std::wstring current = std::filesystem::current_path().wstring();
  ExpectRequest(0, FileDialogKind::Open, current, L"D:\\old.nrg");
  ExpectRequest(1, FileDialogKind::Save, current, L"D:\\old.iso");
  EXPECT_TRUE(changes_.empty());
  EXPECT_EQ(settings_.StoredText(SaveKey), std::nullopt);
}

TEST_F(FileSelectionTest, ConfirmedInputIsRememberedThenSetThenGivesTheOutputName) {
  Type(L"", L"D:\\typed by the user.iso");
  answers_ = {L"D:\\Images\\disc.nrg"};

  Click(form_.cmdBrowseInFile);

  ASSERT_EQ(changes_.size(), 2u);
  const Change& in = changes_[0];
  EXPECT_EQ(in.Box, L"in");
  EXPECT_EQ(in.In, L"D:\\Images\\disc.nrg");
  EXPECT_EQ(in.Out, L"D:\\typed by the user.iso") << "the input box comes first";
  EXPECT_EQ(in.OpenFolder, L"D:\\Images") << "the folder is written before any box changes";
  const Change& out = changes_[1];
  EXPECT_EQ(out.Box, L"out");
  EXPECT_EQ(out.Out, L"D:\\Images\\disc.ISO") << "the typed output name gives way";
  EXPECT_EQ(out.SaveFolder, std::nullopt) << "the output side's folder stays as it was";
  EXPECT_TRUE(out.StartEnabled);
}

TEST_F(FileSelectionTest, SidesRememberTheirFoldersApart) {
  Type(L"", L"");
  answers_ = {L"D:\\Images\\disc.nrg", L"E:\\ISO\\Новый образ.iso", std::nullopt, std::nullopt};
  Click(form_.cmdBrowseInFile);
  Click(form_.cmdBrowseOutFile);
  Click(form_.cmdBrowseInFile);
  Click(form_.cmdBrowseOutFile);

  ASSERT_EQ(changes_.size(), 3u);
  EXPECT_EQ(changes_[2].Box, L"out");
  EXPECT_EQ(changes_[2].In, L"D:\\Images\\disc.nrg") << "the output side touches only its box";
  EXPECT_EQ(changes_[2].Out, L"E:\\ISO\\Новый образ.iso") << "taken as chosen, nothing derived";
  EXPECT_EQ(changes_[2].OpenFolder, L"D:\\Images");
  EXPECT_EQ(changes_[2].SaveFolder, L"E:\\ISO");
  // Choosing an input does not move the save dialog, which proposes the derived name.
  ExpectRequest(1, FileDialogKind::Save, std::filesystem::current_path().wstring(), L"D:\\Images\\disc.ISO");
  ExpectRequest(2, FileDialogKind::Open, L"D:\\Images", L"D:\\Images\\disc.nrg");
  ExpectRequest(3, FileDialogKind::Save, L"E:\\ISO", L"E:\\ISO\\Новый образ.iso");
}

TEST_F(FileSelectionTest, ARegistryThatRefusesToStoreCostsNothingButTheMemory) {
  // Any box, a run-time error's included, fails the test.
  const tests::ReadOnlyKey paths(settings_.Section());
  Type(L"", L"");
  answers_ = {L"D:\\Images\\disc.nrg", L"E:\\ISO\\out.iso"};
  Click(form_.cmdBrowseInFile);
  Click(form_.cmdBrowseOutFile);
  EXPECT_EQ(form_.txtInFileName.Text(), L"D:\\Images\\disc.nrg");
  EXPECT_EQ(form_.txtOutFileName.Text(), L"E:\\ISO\\out.iso");
  EXPECT_EQ(settings_.StoredText(OpenKey), std::nullopt);

  const std::wstring appPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tessaline_tests.exe";
  const tests::ReadOnlyKey registration(appPath);
  modMain::Main();
  ASSERT_TRUE(ui::frmMain::DefaultInstance);
  EXPECT_TRUE(IsWindowVisible(ui::frmMain::DefaultInstance->Handle())) << "the window starts all the same";
  ui::frmMain::DefaultInstance.reset();
  tests::TakeQuit();
}

}  // namespace
