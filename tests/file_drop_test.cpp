// Files dropped on the main window, as the shell hands them over.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "drop_files.h"
#include "main_window_fixture.h"
#include "settings_key.h"
#include "temp_files.h"

namespace {

// A drop of these names at this client point, as the shell hands it over; the window frees it.
WPARAM NewDrop(const std::vector<std::wstring>& names, POINT point) {
  const std::vector<char> block = tests::DropFilesBlock(names, point);
  const HGLOBAL memory = GlobalAlloc(GHND, block.size());
  std::memcpy(GlobalLock(memory), block.data(), block.size());
  GlobalUnlock(memory);
  return reinterpret_cast<WPARAM>(memory);
}

POINT CentreOf(HWND control) {
  const RECT rect = tests::RectInParent(control);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

bool TakesFiles(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

class FileDropTest : public tests::MainWindowTest {
 protected:
  tests::TestSettingsRoot settings_;
  tests::TempFolder folder_;
};

TEST_F(FileDropTest, ADroppedFileFillsTheBoxesAsTheOpenDialogWouldExceptOnTheIsoBoxAndNeverDuringAConversion) {
  auto& form = Form();
  const std::wstring disc = folder_ / L"disc.nrg", other = folder_ / L"other.nrg";
  const std::wstring cyrillic = folder_ / L"Образ диска.image", iso = folder_ / L"готовый.iso";
  const POINT onTheForm{4, 4}, onTheInputBox = CentreOf(form.txtInFileName.Handle()),
              onTheIsoBox = CentreOf(form.txtOutFileName.Handle());
  const struct {
    const char* what;
    std::vector<std::wstring> names;
    POINT point;
    std::wstring in, out;
  } drops[] = {
      {"on the form", {disc}, onTheForm, disc, folder_ / L"disc.ISO"},
      {"on the ISO box", {iso}, onTheIsoBox, disc, iso},
      {"several, on the NRG box", {cyrillic, other}, onTheInputBox, cyrillic, folder_ / L"Образ диска.ISO"},
      {"a folder", {folder_.Path().wstring(), disc}, onTheForm, cyrillic, folder_ / L"Образ диска.ISO"},
      {"a folder on the ISO box", {folder_.Path().wstring()}, onTheIsoBox, cyrillic, folder_ / L"Образ диска.ISO"},
  };
  for (const auto& drop : drops) {
    SCOPED_TRACE(drop.what);
    SendMessageW(form.Handle(), WM_DROPFILES, NewDrop(drop.names, drop.point), 0);
    EXPECT_EQ(form.txtInFileName.Text(), drop.in);
    EXPECT_EQ(form.txtOutFileName.Text(), drop.out);
    EXPECT_TRUE(IsWindowEnabled(form.cmdStart.Handle()));
  }
  EXPECT_FALSE(settings_.StoredText(L"Last Open NRG Path") || settings_.StoredText(L"Last Save ISO Path"))
      << "the remembered folders belong to the dialogs";

  // While a conversion runs the names must not change under the copy.
  tests::WriteBytes(cyrillic, tests::PatternBytes(307200 + 4 * 65536));
  bool takenWhileConverting = true;
  boxes_.WhileShown = [&](const forms::MessageBoxRequest&) { takenWhileConverting = TakesFiles(form.Handle()); };
  PostMessageW(form.Handle(), WM_DROPFILES, NewDrop({disc}, onTheForm), 0);  // served mid-copy
  form.cmdStart.SetValue(true);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].Text, L"NRG файл сконвертирован успешно ^_^v");
  EXPECT_FALSE(takenWhileConverting) << "the system shows the no-drop pointer";
  EXPECT_EQ(form.txtInFileName.Text(), cyrillic);
  EXPECT_TRUE(TakesFiles(form.Handle())) << "taken again after the conversion";
}

}  // namespace
