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

class StopRequestTest : public testing::Test {
 protected:
  void SetUp() override {
    image_ = tests::PatternBytes(HeaderSize + 4 * ChunkSize);
    tests::WriteBytes(input_, image_);
  }

  // What the window's cancel button does while a conversion runs.
  static void ClickCancelWhileConverting() {
    if (IsConverting) CancelRequested = support::True;
  }

  // Runs a conversion in which the user asks to stop during the given event pumps.
  void RunWithStopRequests(std::function<int(int pumpNumber)> requestsAtPump) {
    auto pump = forms::EventPumpSeam.Replace([&] {
      ++pumps_;
      EXPECT_EQ(IsConverting, support::True);
      EXPECT_EQ(forms::CurrentMousePointer(), forms::MousePointer::Hourglass);
      EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
      for (int i = requestsAtPump(pumps_); i > 0; --i) ClickCancelWhileConverting();
    });
    modMain::RunConversion(input_, output_);
  }

  void ExpectIdle() const {
    EXPECT_EQ(IsConverting, support::False);
    EXPECT_EQ(CancelRequested, support::False);
    EXPECT_EQ(forms::CurrentMousePointer(), forms::MousePointer::Default);
  }

  std::size_t OutputSize() const { return tests::ReadBytes(output_).size(); }

  tests::TempFolder folder_;
  std::wstring input_ = folder_ / L"disc.nrg";
  std::wstring output_ = folder_ / L"disc.iso";
  std::vector<std::uint8_t> image_;
  tests::MessageBoxRecorder boxes_;
  int pumps_ = 0;
};

TEST_F(StopRequestTest, PromptAnsweredOkStopsAndLeavesThePartialFileWithoutAnotherWord) {
  boxes_.AnswerWith(IDOK);
  RunWithStopRequests([](int pump) { return pump == 2 ? 1 : 0; });

  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].Text,
            L"Прервать конвертацию?\r\n\r\nISO файл, скорее всего, будет неполным и непригодным к использованию. "
            L"Вы можете удалить его самостоятельно.");
  EXPECT_EQ(boxes_.Boxes()[0].Style, 49u);
  EXPECT_EQ(pumps_, 2);
  EXPECT_EQ(OutputSize(), 2 * ChunkSize);
  ExpectIdle();
}

TEST_F(StopRequestTest, PromptAnsweredCancelGoesOnToTheNormalEnd) {
  boxes_.AnswerWith(IDCANCEL);
  boxes_.WhileShown = [](const forms::MessageBoxRequest& box) {
    if (box.Text == modMain::SuccessText) {
      EXPECT_EQ(CancelRequested, support::False);
    }
  };
  RunWithStopRequests([](int pump) { return pump == 1 ? 1 : 0; });

  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].Text, modMain::StopPromptText);
  EXPECT_EQ(boxes_.Boxes()[1].Text, modMain::SuccessText);
  EXPECT_EQ(tests::ReadBytes(output_), std::vector<std::uint8_t>(image_.begin() + HeaderSize, image_.end()));
  ExpectIdle();
}

TEST_F(StopRequestTest, RequestDuringTheLastEmptyReadStillPrompts) {
  boxes_.AnswerWith(IDOK);
  RunWithStopRequests([](int pump) { return pump == 5 ? 1 : 0; });  // four chunks, then the empty read

  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].Text, modMain::StopPromptText);
  EXPECT_EQ(OutputSize(), 4 * ChunkSize) << "complete, but the user chose to stop: no size check";
  ExpectIdle();
}

TEST_F(StopRequestTest, TwoRequestsWithinOneChunkGiveOnePrompt) {
  boxes_.AnswerWith(IDCANCEL);
  RunWithStopRequests([](int pump) { return pump == 2 ? 2 : 0; });

  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].Text, modMain::StopPromptText);
  EXPECT_EQ(boxes_.Boxes()[1].Text, modMain::SuccessText);
  ExpectIdle();
}

TEST_F(StopRequestTest, RunStateIsRestoredAfterEveryOutcome) {
  // Success, size mismatch, error box and a confirmed stop.
  RunWithStopRequests([](int) { return 0; });
  ExpectIdle();

  tests::WriteBytes(input_, tests::PatternBytes(10));
  RunWithStopRequests([](int) { return 0; });
  EXPECT_EQ(boxes_.Boxes().back().Text, modMain::SizeMismatchText);
  ExpectIdle();

  const std::wstring missing = folder_ / L"missing.nrg";
  modMain::RunConversion(missing, output_);
  EXPECT_EQ(boxes_.Boxes().back().Text.rfind(modMain::InputOpenFailedText, 0), 0u);
  ExpectIdle();

  tests::WriteBytes(input_, image_);
  boxes_.AnswerWith(IDOK);
  const std::size_t before = boxes_.Boxes().size();
  // After the earlier answers, the next box answers IDOK by default.
  RunWithStopRequests([](int) { return 1; });
  EXPECT_EQ(boxes_.Boxes().size(), before + 1);
  EXPECT_EQ(boxes_.Boxes().back().Text, modMain::StopPromptText);
  ExpectIdle();
  EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(StopRequestTest, CancelWhileIdleDoesNotRaiseTheStopFlag) {
  ClickCancelWhileConverting();
  ExpectIdle();
}

}  // namespace
