// The main window in use: typing, converting, stopping, closing, keys.
#include <gtest/gtest.h>

#include "conversion/convert_image.h"
#include "conversion/messages.h"
#include "forms/colors.h"
#include "main_window_fixture.h"
#include "temp_files.h"

namespace {

using modMain::ChunkSize;
using modMain::HeaderSize;
using tests::MainWindowTest;
using tests::PressKey;
using tests::PumpFor;
using tests::PumpUntil;
using tests::TypeText;
using namespace std::chrono_literals;

class MainWindowBehaviourTest : public MainWindowTest {
 protected:
  void FillNames(const std::wstring& input, const std::wstring& output) {
    Form().txtInFileName.SetText(input);
    Form().txtOutFileName.SetText(output);
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

  // Makes every box check the frozen state while the conversion is still on.
  void CheckFrozenWhileBoxesShow() {
    boxes_.WhileShown = [this](const forms::MessageBoxRequest&) {
      EXPECT_EQ(modMain::IsConverting, support::True);
      ExpectFileControls(false);
    };
  }

  tests::TempFolder folder_;
  std::wstring input_ = folder_ / L"disc.nrg";
  std::wstring output_ = folder_ / L"disc.iso";
};

TEST_F(MainWindowBehaviourTest, ConvertIsEnabledExactlyWhenBothNamesAreFilled) {
  auto& form = Form();
  TypeText(L"a");
  EXPECT_FALSE(IsWindowEnabled(form.cmdStart.Handle()));
  SetFocus(form.txtOutFileName.Handle());
  TypeText(L" ");  // a blank is a name too
  EXPECT_TRUE(IsWindowEnabled(form.cmdStart.Handle()));
  TypeText(L"\b");
  EXPECT_FALSE(IsWindowEnabled(form.cmdStart.Handle()));
  form.txtOutFileName.SetText(L"x.iso");  // set by the program: the same rule
  EXPECT_TRUE(IsWindowEnabled(form.cmdStart.Handle()));
  form.txtInFileName.SetText(L"");
  EXPECT_FALSE(IsWindowEnabled(form.cmdStart.Handle()));
}

TEST_F(MainWindowBehaviourTest, ConvertWithAnEmptyNameDoesNothing) {
  Form().txtInFileName.SetText(L"disc.nrg");
  Form().cmdStart.SetValue(true);
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(Form().txtInFileName.BackColor(), forms::WindowBackgroundColor);
  EXPECT_TRUE(IsWindowEnabled(Form().txtInFileName.Handle()));
}

TEST_F(MainWindowBehaviourTest, ControlsAreFrozenDuringEveryConversionAndRestoredAfterIt) {
  const auto image = tests::PatternBytes(HeaderSize + 3 * ChunkSize);
  tests::WriteBytes(input_, image);
  CheckFrozenWhileBoxesShow();

  FillNames(input_, output_);  // success
  PressKey(VK_RETURN);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes().back().Text, modMain::SuccessText);
  ExpectFileControls(true);
  EXPECT_EQ(tests::ReadBytes(output_), std::vector<std::uint8_t>(image.begin() + HeaderSize, image.end()));

  FillNames(folder_ / L"missing.nrg", output_);  // error box
  Form().cmdStart.SetValue(true);
  EXPECT_EQ(boxes_.Boxes().back().Text.rfind(modMain::InputOpenFailedText, 0), 0u);
  ExpectFileControls(true);

  tests::WriteBytes(input_, tests::PatternBytes(1000));  // size mismatch
  FillNames(input_, output_);
  Form().cmdStart.SetValue(true);
  EXPECT_EQ(boxes_.Boxes().back().Text, modMain::SizeMismatchText);
  ExpectFileControls(true);

  tests::WriteBytes(input_, image);  // a stop, confirmed
  PostMessageW(Form().cmdCancel.Handle(), BM_CLICK, 0, 0);
  Form().cmdStart.SetValue(true);
  EXPECT_EQ(boxes_.Boxes().back().Text, modMain::StopPromptText);
  ExpectFileControls(true);
  EXPECT_TRUE(Form().IsLoaded());
  EXPECT_EQ(boxes_.Boxes().size(), 4u);
}

TEST_F(MainWindowBehaviourTest, EveryWayOfLeavingDuringAConversionBecomesAStopRequest) {
  tests::WriteBytes(input_, tests::PatternBytes(HeaderSize + 4 * ChunkSize));
  FillNames(input_, output_);
  struct Way {
    const char* name;
    std::function<void()> leave;
  };
  const Way ways[] = {
      {"close box", [this] { PostMessageW(Form().Handle(), WM_CLOSE, 0, 0); }},
      {"Escape", [this] { PostMessageW(GetFocus() ? GetFocus() : Form().Handle(), WM_KEYDOWN, VK_ESCAPE, 1); }},
      {"cancel button", [this] { PostMessageW(Form().cmdCancel.Handle(), BM_CLICK, 0, 0); }},
      {"end of session", [this] { PostMessageW(Form().Handle(), WM_QUERYENDSESSION, 0, 0); }},
  };
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    const std::size_t before = boxes_.Boxes().size();
    boxes_.AnswerWith(IDCANCEL);  // go on
    way.leave();
    Form().cmdStart.SetValue(true);
    ASSERT_EQ(boxes_.Boxes().size(), before + 2);
    EXPECT_EQ(boxes_.Boxes()[before].Text, modMain::StopPromptText);
    EXPECT_EQ(boxes_.Boxes()[before + 1].Text, modMain::SuccessText) << "going on ends normally";
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
  EXPECT_EQ(modMain::CancelRequested, support::False);
  EXPECT_TRUE(tests::TakeQuit()) << "the last window gone ends the program";
}

TEST_F(MainWindowBehaviourTest, EscapeWhileIdleCloses) {
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(Form().IsLoaded());
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MainWindowBehaviourTest, EnterStartsOnlyAnEnabledConvertButOtherButtonsClickThemselves) {
  auto& form = Form();
  int browseClicks = 0;
  form.cmdBrowseInFile.OnClick = [&] { ++browseClicks; };
  form.txtInFileName.SetText(L"disc.nrg");
  PressKey(VK_RETURN);  // convert is disabled: nothing
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_TRUE(form.IsLoaded());

  PressKey(VK_TAB);
  ASSERT_EQ(GetFocus(), form.cmdBrowseInFile.Handle());
  PressKey(VK_RETURN);
  EXPECT_EQ(browseClicks, 1);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MainWindowBehaviourTest, TabFollowsTheTabOrderAndSkipsADisabledConvert) {
  auto& form = Form();
  const HWND disabledOrder[] = {form.cmdBrowseInFile.Handle(), form.txtOutFileName.Handle(),
                                form.cmdBrowseOutFile.Handle(), form.cmdCancel.Handle(), form.txtInFileName.Handle()};
  for (HWND expected : disabledOrder) {
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), expected);
  }
  FillNames(L"a", L"b");
  SetFocus(form.cmdBrowseOutFile.Handle());
  PressKey(VK_TAB);
  EXPECT_EQ(GetFocus(), form.cmdStart.Handle());
  PressKey(VK_TAB, forms::ShiftMask);
  EXPECT_EQ(GetFocus(), form.cmdBrowseOutFile.Handle());
}

TEST_F(MainWindowBehaviourTest, EnteringATextBoxSelectsAllItsText) {
  auto& form = Form();
  form.txtOutFileName.SetText(L"D:\\Images\\disc.ISO");
  PressKey(VK_TAB);
  PressKey(VK_TAB);
  ASSERT_EQ(GetFocus(), form.txtOutFileName.Handle());
  DWORD start = 1, end = 0;
  SendMessageW(form.txtOutFileName.Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 18u);
  TypeText(L"x");
  EXPECT_EQ(form.txtOutFileName.Text(), L"x") << "typing replaces the whole name";
}

TEST_F(MainWindowBehaviourTest, ShiftF1AloneOpensTheAboutBox) {
  PressKey(VK_F1);
  PressKey(VK_F1, forms::CtrlMask | forms::ShiftMask);
  PressKey(VK_F1, forms::ShiftMask | forms::AltMask);
  EXPECT_TRUE(boxes_.Boxes().empty());

  PressKey(VK_F1, forms::ShiftMask);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  const auto& about = boxes_.Boxes()[0];
  EXPECT_EQ(about.Owner, Form().Handle());
  EXPECT_NE(about.Text.find(L"Kelvane - Tessaline"), std::wstring::npos) << about.Text;
  EXPECT_NE(about.Text.find(L"1.00.0008"), std::wstring::npos) << about.Text;
  EXPECT_EQ(about.Style & MB_USERICON, static_cast<UINT>(MB_USERICON));
  PressKey(VK_F1, forms::ShiftMask);  // again, from any control
  EXPECT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_TRUE(Form().IsLoaded());
}

TEST_F(MainWindowBehaviourTest, ShiftF1DuringAConversionHoldsTheCopyUntilTheBoxCloses) {
  tests::WriteBytes(input_, tests::PatternBytes(HeaderSize + 3 * ChunkSize));
  FillNames(input_, output_);
  std::size_t outputWhileAbout = 0;
  boxes_.WhileShown = [&](const forms::MessageBoxRequest& box) {
    if (box.Caption != L"Kelvane - Tessaline") outputWhileAbout = tests::ReadBytes(output_).size();
  };
  PostMessageW(Form().Handle(), WM_NULL, 0, 0);
  BYTE keys[256];
  GetKeyboardState(keys);
  BYTE shifted[256];
  std::copy(std::begin(keys), std::end(keys), std::begin(shifted));
  shifted[VK_SHIFT] = 0x80;
  SetKeyboardState(shifted);
  PostMessageW(Form().Handle(), WM_KEYDOWN, VK_F1, 1);
  Form().cmdStart.SetValue(true);
  SetKeyboardState(keys);
  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(boxes_.Boxes()[1].Text, modMain::SuccessText);
  EXPECT_EQ(outputWhileAbout, ChunkSize) << "the About box came after the first chunk and held the copy";
}

}  // namespace
