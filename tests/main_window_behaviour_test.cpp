// The main window in use: typing, converting, stopping, closing, keys.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "conversion/convert_image.h"
#include "conversion/copy_image.h"
#include "forms/colors.h"
#include "main_window_fixture.h"
#include "temp_files.h"

namespace {

using modMain::ChunkSize;
using modMain::HeaderSize;
using tests::MainWindowTest;
using tests::PressKey;
using tests::TypeText;

// What the user reads, written out.
const std::wstring Success = L"NRG файл сконвертирован успешно ^_^v";
const std::wstring Mismatch = L"Что-то пошло не так! NRG файл сконвертирован, но размер отличается от ожидаемого.";
const std::wstring StopPrompt =
    L"Прервать конвертацию?\r\n\r\nISO файл, скорее всего, будет неполным и непригодным к использованию. Вы можете "
    L"удалить его самостоятельно.";

class MainWindowBehaviourTest : public MainWindowTest {
 protected:
  // Names for a conversion of four chunks.
  void FillNames() {
    tests::WriteBytes(input_, tests::PatternBytes(HeaderSize + 4 * ChunkSize));
    Form().txtInFileName.SetText(input_);
    Form().txtOutFileName.SetText(output_);
  }

  // The seven controls that a conversion freezes, as the user sees them.
  void ExpectFileControls(bool enabled) {
    auto& form = Form();
    EXPECT_EQ(form.lblTag[0].Enabled(), enabled);
    EXPECT_EQ(form.lblTag[1].Enabled(), enabled);
    for (HWND window : {form.txtInFileName.Handle(), form.cmdBrowseInFile.Handle(), form.txtOutFileName.Handle(),
                        form.cmdBrowseOutFile.Handle(), form.cmdStart.Handle()}) {
      EXPECT_EQ(IsWindowEnabled(window) != FALSE, enabled);
    }
    const forms::OleColor boxColor = enabled ? forms::WindowBackgroundColor : forms::ButtonFaceColor;
    EXPECT_EQ(form.txtInFileName.BackColor(), boxColor);
    EXPECT_EQ(form.txtOutFileName.BackColor(), boxColor);
    EXPECT_TRUE(IsWindowEnabled(form.cmdCancel.Handle())) << "the one way to stop";
  }

  // One conversion: one box, whose text starts so; then every control is back.
  void ConvertExpecting(const std::wstring& text) {
    SCOPED_TRACE(testing::PrintToString(text));
    const std::size_t before = boxes_.Boxes().size();
    Form().cmdStart.SetValue(true);
    ASSERT_EQ(boxes_.Boxes().size(), before + 1);
    EXPECT_EQ(boxes_.Boxes().back().Text.rfind(text, 0), 0u);
    ExpectFileControls(true);
    EXPECT_TRUE(Form().IsLoaded());
  }

  bool StartEnabled() { return IsWindowEnabled(Form().cmdStart.Handle()) != FALSE; }

  tests::TempFolder folder_;
  std::wstring input_ = folder_ / L"disc.nrg";
  std::wstring output_ = folder_ / L"disc.iso";
};

TEST_F(MainWindowBehaviourTest, ConvertIsEnabledExactlyWhenBothNamesAreFilled) {
  auto& form = Form();
  TypeText(L"a");
  EXPECT_FALSE(StartEnabled());
  SetFocus(form.txtOutFileName.Handle());
  TypeText(L" ");  // a blank is a name too
  EXPECT_TRUE(StartEnabled());
  TypeText(L"\b");
  EXPECT_FALSE(StartEnabled());
  form.txtOutFileName.SetText(L"x.iso");  // set by the program: the same rule
  EXPECT_TRUE(StartEnabled());
  form.txtInFileName.SetText(L"");
  EXPECT_FALSE(StartEnabled());
  form.cmdStart.SetValue(true);  // a click all the same: nothing happens
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(form.txtOutFileName.BackColor(), forms::WindowBackgroundColor);
}

TEST_F(MainWindowBehaviourTest, ControlsAreFrozenDuringEveryConversionAndRestoredAfterIt) {
  boxes_.WhileShown = [this](const forms::MessageBoxRequest&) {
    EXPECT_EQ(modMain::IsConverting, true);
    ExpectFileControls(false);
  };
  FillNames();
  ConvertExpecting(Success);
  Form().txtInFileName.SetText(folder_ / L"missing.nrg");
  ConvertExpecting(L"Не удаётся открыть NRG файл.\r\n\r\n");
  FillNames();
  tests::WriteBytes(input_, tests::PatternBytes(1000));
  ConvertExpecting(Mismatch);
  FillNames();
  PostMessageW(Form().cmdCancel.Handle(), BM_CLICK, 0, 0);
  ConvertExpecting(StopPrompt);  // confirmed
}

TEST_F(MainWindowBehaviourTest, EveryWayOfLeavingDuringAConversionBecomesAStopRequest) {
  FillNames();
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"close box", [this] { PostMessageW(Form().Handle(), WM_CLOSE, 0, 0); }},
      {"Escape", [this] { PostMessageW(GetFocus() ? GetFocus() : Form().Handle(), WM_KEYDOWN, VK_ESCAPE, 1); }},
      {"cancel button", [this] { PostMessageW(Form().cmdCancel.Handle(), BM_CLICK, 0, 0); }},
      {"end of session", [this] { PostMessageW(Form().Handle(), WM_QUERYENDSESSION, 0, 0); }},
  };
  for (const auto& [name, leave] : ways) {
    SCOPED_TRACE(name);
    const std::size_t before = boxes_.Boxes().size();
    boxes_.AnswerWith(IDCANCEL);  // go on
    leave();
    Form().cmdStart.SetValue(true);
    ASSERT_EQ(boxes_.Boxes().size(), before + 2);
    EXPECT_EQ(boxes_.Boxes()[before].Text, StopPrompt);
    EXPECT_EQ(boxes_.Boxes()[before + 1].Text, Success) << "going on ends normally";
    EXPECT_TRUE(Form().IsLoaded()) << "the refused close is not remembered";
    EXPECT_FALSE(tests::TakeQuit());
  }
}

TEST_F(MainWindowBehaviourTest, CancelWhileIdleClosesWithoutAQuestion) {
  PressKey(VK_TAB, forms::ShiftMask);  // onto cmdCancel, backwards
  ASSERT_EQ(GetFocus(), Form().cmdCancel.Handle());
  PressKey(VK_RETURN);
  EXPECT_FALSE(Form().IsLoaded());
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(modMain::CancelRequested, false);
  EXPECT_TRUE(tests::TakeQuit()) << "the last window gone ends the program";
}

TEST_F(MainWindowBehaviourTest, TabOrderSkipsADisabledConvertAndEnterClicksTheFocusedButton) {
  auto& form = Form();
  int browseClicks = 0;
  form.cmdBrowseInFile.OnClick = [&] { ++browseClicks; };
  form.txtInFileName.SetText(L"disc.nrg");
  PressKey(VK_RETURN);  // convert is disabled: nothing
  EXPECT_TRUE(boxes_.Boxes().empty());
  for (HWND expected : {form.cmdBrowseInFile.Handle(), form.txtOutFileName.Handle(), form.cmdBrowseOutFile.Handle(),
                        form.cmdCancel.Handle(), form.txtInFileName.Handle(), form.cmdBrowseInFile.Handle()}) {
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), expected);
  }
  PressKey(VK_RETURN);
  EXPECT_EQ(browseClicks, 1);
  EXPECT_TRUE(boxes_.Boxes().empty());

  form.txtOutFileName.SetText(L"D:\\Images\\disc.ISO");
  SetFocus(form.cmdBrowseOutFile.Handle());
  PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), form.cmdStart.Handle());
  SetFocus(form.txtOutFileName.Handle());  // not by the dialog keys, which select all by themselves
  DWORD start = 1, end = 0;
  SendMessageW(GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 18u) << "entering a text box selects all of its text";
  TypeText(L"x");
  EXPECT_EQ(form.txtOutFileName.Text(), L"x") << "typing replaces the whole name";
}

TEST_F(MainWindowBehaviourTest, ShiftF1AloneOpensTheAboutBox) {
  PressKey(VK_F1);
  PressKey(VK_F1, forms::CtrlMask | forms::ShiftMask);
  PressKey(VK_F1, forms::ShiftMask | forms::AltMask);
  EXPECT_TRUE(boxes_.Boxes().empty());

  PressKey(VK_F1, forms::ShiftMask);
  PressKey(VK_F1, forms::ShiftMask, Form().cmdCancel.Handle());  // again, from another control
  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  const auto& about = boxes_.Boxes()[1];
  EXPECT_EQ(about.Owner, Form().Handle());
  EXPECT_NE(about.Text.find(L"Kelvane - Tessaline"), std::wstring::npos) << about.Text;
  EXPECT_NE(about.Text.find(L"1.00.0008"), std::wstring::npos) << about.Text;
  EXPECT_EQ(about.Style & MB_USERICON, static_cast<UINT>(MB_USERICON));
  EXPECT_TRUE(about.OwnerFont) << "drawn in the window's font";
  EXPECT_TRUE(Form().IsLoaded());
}

TEST_F(MainWindowBehaviourTest, ShiftF1DuringAConversionHoldsTheCopyUntilTheBoxCloses) {
  FillNames();
  std::size_t outputWhileAbout = 0;
  boxes_.WhileShown = [&](const forms::MessageBoxRequest& box) {
    if (box.Caption != L"Kelvane - Tessaline") outputWhileAbout = tests::ReadBytes(output_).size();
  };
  // Shift held while the conversion serves the key.
  BYTE keys[256], shifted[256];
  GetKeyboardState(keys);
  GetKeyboardState(shifted);
  shifted[VK_SHIFT] = 0x80;
  SetKeyboardState(shifted);
  PostMessageW(Form().Handle(), WM_KEYDOWN, VK_F1, 1);
  Form().cmdStart.SetValue(true);
  SetKeyboardState(keys);
  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(boxes_.Boxes()[1].Text, Success);
  EXPECT_EQ(outputWhileAbout, ChunkSize) << "the About box came after the first chunk and held the copy";
}

}  // namespace
