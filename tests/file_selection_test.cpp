// The browse buttons of the main window with a scripted file dialog, the folders they remember, the names they derive.
#include <deque>
#include <filesystem>

#include "harness.h"
#include "support/file_dialog.h"
#include "support/support_functions.h"
#include "ui/output_name.h"

namespace {

class FileSelectionTest : public testing::Test {
 protected:
  FileSelectionTest() {
    form_.Show();
    // What the program had done when a text box reported its change: box, both names, both folders, convert.
    for (forms::TextBox* box : {&form_.txtInFileName, &form_.txtOutFileName}) {
      box->OnChange = [this, box, handler = box->OnChange] {
        handler();
        seen_ += (box == &form_.txtInFileName ? L"in: " : L"out: ") + form_.txtInFileName.Text() + L" | " +
                 form_.txtOutFileName.Text() + L" | " + Stored(L"Last Open NRG Path") + L" | " +
                 Stored(L"Last Save ISO Path") + (form_.cmdStart.Enabled() ? L" | on\n" : L" | off\n");
      };
    }
  }
  ~FileSelectionTest() override { form_.Unload(), tests::TakeQuit(); }
  std::wstring Stored(const wchar_t* key) const { return tests::UserText(settings_.Section(), key).value_or(L"-"); }

  // Typed names, then clicks as the user makes them: through the window, so that a run-time error is reported.
  void Browse(const std::wstring& in, const std::wstring& out, std::initializer_list<forms::CommandButton*> buttons) {
    form_.txtInFileName.SetText(in), form_.txtOutFileName.SetText(out);
    seen_.clear();
    for (forms::CommandButton* button : buttons) SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  }

  tests::TestSettingsRoot settings_;
  ui::frmMain form_;
  forms::CommandButton *const in_ = &form_.cmdBrowseInFile, *const out_ = &form_.cmdBrowseOutFile;
  std::wstring seen_;  // in their order, the changes and each dialog: its kind, name and initial folder ("here": ".")
  std::deque<std::optional<std::wstring>> answers_;  // a choice, or none for a cancelled dialog
  win32::Seam<support::ShowFileDialogFunction>::Override dialog_ =
      support::FileDialogSeam.Replace([this](const support::FileDialogRequest& r) -> std::optional<std::wstring> {
        const bool open = r.Kind == support::FileDialogKind::Open;
        EXPECT_EQ(r.Filter, open ? L"Образы Nero|*.NRG;*.CMD|Все файлы|*.*" : L"Образы ISO|*.ISO;*.CMD|Все файлы|*.*");
        EXPECT_EQ(r.Owner, form_.Handle());
        const bool here = r.InitialFolder == std::filesystem::current_path();
        seen_ += (open ? L"open " : L"save ") + r.FileName + L" in " + (here ? L"here" : r.InitialFolder) + L"\n";
        if (answers_.empty()) return ADD_FAILURE() << "unexpected file dialog", std::nullopt;
        const auto answer = answers_.front();
        return answers_.pop_front(), answer;
      });
};

// Cancelled dialogs change nothing; a chosen input is remembered, then set, then names the output; a registry
// that refuses to store costs only the memory.
TEST_F(FileSelectionTest, EachDialogProposesItsBoxsNameInItsSidesFolderAndOnlyAChoiceChangesNamesAndFolders) {
  const DWORD notText = 7;  // a value of another type reads as nothing stored
  RegSetKeyValueW(HKEY_CURRENT_USER, settings_.Section().c_str(), L"Last Open NRG Path", REG_DWORD, &notText, 4);
  answers_ = {{}, {}, L"D:\\Images\\disc.nrg", L"E:\\ISO\\Новый образ.iso", {}, {}};  // {}: cancelled
  Browse(L"\"D:\\old.nrg\"", L"D:\\old.iso", {in_, out_, in_, out_, in_, out_});  // pasted in quotes: proposed without
  EXPECT_EQ(seen_, L"open D:\\old.nrg in here\nsave D:\\old.iso in here\nopen D:\\old.nrg in here\n"
                   L"in: D:\\Images\\disc.nrg | D:\\old.iso | D:\\Images | - | on\n"
                   L"out: D:\\Images\\disc.nrg | D:\\Images\\disc.ISO | D:\\Images | - | on\n"
                   L"save D:\\Images\\disc.ISO in here\n"  // choosing an input moves not the save dialog
                   L"out: D:\\Images\\disc.nrg | E:\\ISO\\Новый образ.iso | D:\\Images | E:\\ISO | on\n"
                   L"open D:\\Images\\disc.nrg in D:\\Images\nsave E:\\ISO\\Новый образ.iso in E:\\ISO\n");

  // A registry that refuses to store costs nothing but the memory: any box, a run-time error's included, fails.
  const tests::ReadOnlyKey paths(settings_.Section());
  answers_ = {L"F:\\disc.nrg", L"G:\\out.iso"};
  Browse(L"", L"", {in_, out_});
  EXPECT_EQ(seen_, L"open  in D:\\Images\nin: F:\\disc.nrg |  | D:\\Images | E:\\ISO | off\n"
                   L"out: F:\\disc.nrg | F:\\disc.ISO | D:\\Images | E:\\ISO | on\nsave F:\\disc.ISO in E:\\ISO\n"
                   L"out: F:\\disc.nrg | G:\\out.iso | D:\\Images | E:\\ISO | on\n");
}

// Each name's folder | extension | derived output name.
TEST(FilePathTest, FolderExtensionAndDerivedOutputNameOfEveryKindOfName) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"D:\\Images\\disc.nrg", L"D:\\Images | nrg | D:\\Images\\disc.ISO"},
      {L"disc.NRG", L" | NRG | disc.ISO"},                              // no folder
      {L"D:\\Images\\disc", L"D:\\Images |  | D:\\Images\\disc.ISO"},   // no extension
      {L"disc.tar.image", L" | image | disc.tar.ISO"},                  // several dots, a long extension
      {L"C:\\a.b\\disc", L"C:\\a.b |  | C:\\a.b\\disc.ISO"},            // the dot is the folder's
      {L"C:\\a.b\\disc..", L"C:\\a.b |  | C:\\a.b\\disc..ISO"},         // the name's own dots stay
      {L"disc.", L" |  | disc.ISO"},                                    // ...and its last one serves
      {L"a..nrg", L" | nrg | a..ISO"},
      {L"\\\\server\\share\\образ.nrg", L"\\\\server\\share | nrg | \\\\server\\share\\образ.ISO"},
      {L"C:\\disc.nrg", L"C:\\ | nrg | C:\\disc.ISO"},                  // a drive root keeps its separator
      {L"D:\\Images/sub\\\\disc.iso", L"D:\\Images/sub | iso | D:\\Images/sub\\\\disc.ISO"},  // both separators
      {L"C:disc.nrg", L"C: | nrg | C:disc.ISO"},                        // drive-relative
      {L"", L" |  | .ISO"},
      // One pair of quotes around the whole name, as "Copy as path" gives it, is no part of the name; the
      // folder and extension of a name in quotes are the caller's to take after it has taken the quotes off.
      {L"\"C:\\a\\disc.nrg\"", L"C:\\a\\disc.ISO"},
      {L"\"", L"\".ISO"}, {L"\"\"", L".ISO"}, {L"\"a", L"\"a.ISO"},  // a lone quote is the name's
  };
  for (const auto& [name, expected] : cases) {
    const std::wstring parts = name[0] == L'"' ? std::wstring()
                               : support::ksGetFilePath(name) + L" | " + support::ksGetFileExtension(name) + L" | ";
    EXPECT_EQ(parts + ui::DeriveOutputName(name), expected) << testing::PrintToString(name);
  }
  EXPECT_EQ(support::ksCutRight(L"disc", 5), L"");  // more than there is
}

}  // namespace
