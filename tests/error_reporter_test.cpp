#include "support/error_reporter.h"

#include <gtest/gtest.h>

#include "forms/runtime_error.h"
#include "message_box_recorder.h"
#include "support/failure.h"
#include "support/system_message.h"

namespace {

TEST(ErrorReporterTest, ShowsTheMessageThenTheSystemsDescriptionAndCode) {
  tests::MessageBoxRecorder boxes;
  support::TheErrorReporter().ShowError(ERROR_ACCESS_DENIED, MB_ICONERROR, L"Не удаётся открыть ISO файл.");

  ASSERT_EQ(boxes.Boxes().size(), 1u);
  const std::wstring& text = boxes.Boxes()[0].Text;
  EXPECT_EQ(text.rfind(L"Не удаётся открыть ISO файл.\r\n\r\n", 0), 0u) << text;
  EXPECT_EQ(text.substr(text.size() - 4), L" (5)") << "no stray line break before the code: " << text;
  EXPECT_GT(text.size(), std::wstring(L"Не удаётся открыть ISO файл.\r\n\r\n (5)").size()) << "the system's own words";
  EXPECT_EQ(boxes.Boxes()[0].Style, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(boxes.Boxes()[0].Caption, L"Kelvane - Tessaline");
  EXPECT_EQ(&support::TheErrorReporter(), &support::TheErrorReporter()) << "one instance for the whole run";
}

TEST(ErrorReporterTest, UnknownCodeStillShowsItsNumber) {
  EXPECT_EQ(support::DescribeSystemError(0x2345F00D), L"Код ошибки 591785997.");
}

TEST(RuntimeErrorTest, AnErrorLeavingAHandlerIsReportedAndEndsTheProgram) {
  tests::MessageBoxRecorder boxes;
  int endedWith = -1;
  auto end = forms::EndProgramSeam.Replace([&](int code) { endedWith = code; });
  bool after = false;

  forms::Dispatch([&] {
    support::ThrowIfFalse(FALSE, "SetWindowTextW");
    after = true;
  });

  EXPECT_FALSE(after);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].Text.rfind(L"Ошибка выполнения.\r\n\r\nSetWindowTextW: ", 0), 0u) << boxes.Boxes()[0].Text;
  EXPECT_EQ(boxes.Boxes()[0].Style, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(endedWith, 1);
}

}  // namespace
