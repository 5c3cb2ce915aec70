// The stop protocol and the run state around a conversion.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "conversion/convert_image.h"
#include "conversion/messages.h"
#include "conversion/run_conversion.h"
#include "conversion/run_flags.h"
#include "forms/event_pump.h"
#include "forms/mouse_pointer.h"
#include "message_box_recorder.h"
#include "temp_files.h"

namespace {

using modMain::CancelRequested;
using modMain::ChunkSize;
using modMain::HeaderSize;
using modMain::IsConverting;
using modMain::StopPromptText;
using modMain::SuccessText;

class StopRequestTest : public testing::Test {
 protected:
  void SetUp() override { tests::WriteBytes(input_, image_); }

  // What the window's cancel button does while a conversion runs.
  static void ClickCancelWhileConverting() {
    if (IsConverting) CancelRequested = support::True;
  }

  // Runs a conversion in which the user asks to stop the given number of times during each event pump.
  void RunWithStopRequests(const std::function<int(int pumpNumber)>& requestsAtPump) {
    auto pump = forms::EventPumpSeam.Replace([&] {
      ++pumps_;
      EXPECT_EQ(IsConverting, support::True);
      EXPECT_EQ(forms::CurrentMousePointer(), forms::MousePointer::Hourglass);
      EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
      for (int i = requestsAtPump(pumps_); i > 0; --i) ClickCancelWhileConverting();
    });
    modMain::RunConversion(input_, output_);
  }

  static void ExpectIdle() {
    EXPECT_EQ(IsConverting, support::False);
    EXPECT_EQ(CancelRequested, support::False);
    EXPECT_EQ(forms::CurrentMousePointer(), forms::MousePointer::Default);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
  }

  std::vector<std::wstring> Texts() const {
    std::vector<std::wstring> texts;
    for (const auto& box : boxes_.Boxes()) texts.push_back(box.Text);
    return texts;
  }

  tests::TempFolder folder_;
  std::wstring input_ = folder_ / L"disc.nrg";
  std::wstring output_ = folder_ / L"disc.iso";
  std::vector<std::uint8_t> image_ = tests::PatternBytes(HeaderSize + 4 * ChunkSize);
  tests::MessageBoxRecorder boxes_;
  int pumps_ = 0;
};

TEST_F(StopRequestTest, PromptAnsweredOkStopsAndLeavesThePartialFileWithoutAnotherWord) {
  boxes_.AnswerWith(IDOK);
  RunWithStopRequests([](int pump) { return pump == 2 ? 1 : 0; });

  ExpectIdle();
  EXPECT_EQ(Texts(), std::vector<std::wstring>{
                         L"Прервать конвертацию?\r\n\r\nISO файл, скорее всего, будет неполным и непригодным к "
                         L"использованию. Вы можете удалить его самостоятельно."});
  EXPECT_EQ(boxes_.Boxes().at(0).Style, 49u);
  EXPECT_EQ(pumps_, 2);
  EXPECT_EQ(tests::ReadBytes(output_).size(), 2 * ChunkSize);
}

TEST_F(StopRequestTest, PromptAnsweredCancelGoesOnToTheNormalEnd) {
  boxes_.AnswerWith(IDCANCEL);
  boxes_.WhileShown = [](const forms::MessageBoxRequest& box) {
    if (box.Text == SuccessText) {
      EXPECT_EQ(CancelRequested, support::False) << "the refused request is forgotten";
    }
  };
  RunWithStopRequests([](int pump) { return pump == 1 ? 1 : 0; });

  ExpectIdle();
  EXPECT_EQ(Texts(), (std::vector<std::wstring>{StopPromptText, SuccessText}));
  EXPECT_EQ(tests::ReadBytes(output_), std::vector<std::uint8_t>(image_.begin() + HeaderSize, image_.end()));
}

TEST_F(StopRequestTest, RequestDuringTheLastEmptyReadStillPrompts) {
  boxes_.AnswerWith(IDOK);
  RunWithStopRequests([](int pump) { return pump == 5 ? 1 : 0; });  // four chunks, then the empty read

  ExpectIdle();
  EXPECT_EQ(Texts(), std::vector<std::wstring>{StopPromptText}) << "the user chose to stop: no size check";
  EXPECT_EQ(tests::ReadBytes(output_).size(), 4 * ChunkSize);
}

TEST_F(StopRequestTest, TwoRequestsWithinOneChunkGiveOnePrompt) {
  boxes_.AnswerWith(IDCANCEL);
  RunWithStopRequests([](int pump) { return pump == 2 ? 2 : 0; });
  ExpectIdle();
  EXPECT_EQ(Texts(), (std::vector<std::wstring>{StopPromptText, SuccessText}));
}

TEST_F(StopRequestTest, RunStateIsRestoredAfterAFailureToo) {
  tests::WriteBytes(input_, tests::PatternBytes(10));
  RunWithStopRequests([](int) { return 0; });
  ExpectIdle();
  modMain::RunConversion(folder_ / L"missing.nrg", output_);
  ExpectIdle();
  ASSERT_EQ(Texts().size(), 2u);
  EXPECT_EQ(Texts()[0], modMain::SizeMismatchText);
  EXPECT_EQ(Texts()[1].rfind(modMain::InputOpenFailedText, 0), 0u);
}

TEST_F(StopRequestTest, CancelWhileIdleDoesNotRaiseTheStopFlag) {
  ClickCancelWhileConverting();
  EXPECT_EQ(CancelRequested, support::False);
}

}  // namespace
