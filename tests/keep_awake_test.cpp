// A conversion keeps the machine awake, and only while it runs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "temp_files.h"

namespace {

// What the thread has asked of the system. A request without ES_CONTINUOUS
// leaves nothing lasting behind, so asking for nothing reads it; under Wine it
// is all there is to read (CallNtPowerInformation reports a fixed value).
EXECUTION_STATE RequestedState() { return SetThreadExecutionState(0); }

using KeepAwakeTest = tests::MainWindowTest;

TEST_F(KeepAwakeTest, TheSystemStaysAwakeWhileAConversionRunsAndMaySleepAfterHoweverItEnds) {
  tests::TempFolder folder;
  const std::wstring input = folder / L"disc.nrg";
  tests::WriteBytes(input, tests::PatternBytes(307200 + 2 * 65536));
  Form().txtOutFileName.SetText(folder / L"disc.iso");
  SetThreadExecutionState(ES_CONTINUOUS);  // a known start: nothing asked for
  std::vector<EXECUTION_STATE> whileShown;
  boxes_.WhileShown = [&](const forms::MessageBoxRequest&) { whileShown.push_back(RequestedState()); };

  const auto convert = [&](const std::wstring& name) {
    Form().txtInFileName.SetText(name);
    Form().cmdStart.SetValue(true);
    EXPECT_EQ(RequestedState(), 0x80000000u) << "ES_CONTINUOUS alone: the system may sleep again";
  };
  convert(input);  // success
  convert(folder / L"missing.nrg");  // failure
  PostMessageW(Form().cmdCancel.Handle(), BM_CLICK, 0, 0);
  convert(input);  // confirmed stop
  ASSERT_EQ(boxes_.Boxes().size(), 3u);
  EXPECT_EQ(boxes_.Boxes()[2].Text.rfind(L"Прервать конвертацию?", 0), 0u);
  EXPECT_EQ(whileShown, std::vector<EXECUTION_STATE>(3, 0x80000001u)) << "ES_CONTINUOUS | ES_SYSTEM_REQUIRED";
}

}  // namespace
