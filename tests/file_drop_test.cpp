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

// A drop of these names at this client point of the window; the window frees it.
void Drop(HWND window, const std::vector<std::wstring>& names, POINT point, bool post = false) {
  const std::vector<char> block = tests::DropFilesBlock(names, point);
  const HGLOBAL memory = GlobalAlloc(GHND, block.size());
  std::memcpy(GlobalLock(memory), block.data(), block.size());
  GlobalUnlock(memory);
  if (post) {
    PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  } else {
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  }
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

TEST_F(FileDropTest, ADroppedFileFillsTheBoxesAsTheOpenDialogWouldExceptOnTheIsoBox) {
  auto& form = Form();
  const std::wstring disc = folder_ / L"disc.nrg", other = folder_ / L"other.nrg";
  const std::wstring cyrillic = folder_ / L"Образ диска.image", iso = folder_ / L"готовый.iso";
  for (const auto& name : {disc, other, cyrillic, iso}) tests::WriteBytes(name, {1});
  const POINT onTheForm{4, 4}, onTheInputBox = CentreOf(form.txtInFileName.Handle());
  const POINT onTheIsoBox = CentreOf(form.txtOutFileName.Handle());
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
    Drop(form.Handle(), drop.names, drop.point);
    EXPECT_EQ(form.txtInFileName.Text(), drop.in);
    EXPECT_EQ(form.txtOutFileName.Text(), drop.out);
    EXPECT_TRUE(IsWindowEnabled(form.cmdStart.Handle()));
  }
  EXPECT_FALSE(settings_.SectionExists(L"Paths")) << "the remembered folders belong to the dialogs";
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(FileDropTest, NothingIsTakenWhileAConversionRuns) {
  auto& form = Form();
  const std::wstring input = folder_ / L"disc.nrg", output = folder_ / L"disc.iso";
  tests::WriteBytes(input, tests::PatternBytes(307200 + 4 * 65536));
  form.txtInFileName.SetText(input);
  form.txtOutFileName.SetText(output);
  ASSERT_TRUE(TakesFiles(form.Handle()));
  bool takenWhileConverting = true;
  boxes_.WhileShown = [&](const forms::MessageBoxRequest&) { takenWhileConverting = TakesFiles(form.Handle()); };
  Drop(form.Handle(), {folder_ / L"late.nrg"}, {4, 4}, true);  // on its way when the conversion starts
  form.cmdStart.SetValue(true);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_FALSE(takenWhileConverting) << "the system shows the no-drop pointer";
  EXPECT_EQ(form.txtInFileName.Text(), input);
  EXPECT_EQ(form.txtOutFileName.Text(), output);
  EXPECT_TRUE(TakesFiles(form.Handle())) << "taken again after the conversion";
}

}  // namespace
