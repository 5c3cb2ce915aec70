// Names of any length: what the file functions get, and a real copy past the classic limit.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "conversion/convert_image.h"
#include "conversion/copy_image.h"
#include "message_box_recorder.h"
#include "temp_files.h"

namespace {

// Records the names the copy opens; the input opens as the null device, the output is refused.
struct RecordingCalls : modMain::FileCalls {
  HANDLE CreateFile(const std::wstring& name, DWORD access, DWORD share, DWORD disposition) const override {
    names.push_back(name);
    if (access == GENERIC_READ) return FileCalls::CreateFile(L"NUL", access, share, disposition);
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  mutable std::vector<std::wstring> names;
};

TEST(LongPathTest, TheFileCallsGetTheExtendedFormExactlyWhenTheFullPathPassesTheClassicLimitAndACopyThereWorks) {
  tests::TempFolder folder;
  const std::wstring here = std::filesystem::current_path().wstring();
  const std::wstring d100(100, L'd'), deep = d100 + L"\\" + d100 + L"\\";
  const std::wstring name54(54, L'n'), name55(55, L'n');  // with C:\ and deep: 259 and 260 characters
  const struct {
    std::wstring typed, expected;
  } cases[] = {
      {L"disc.nrg", L"disc.nrg"},  // relative and short: as typed
      {L"C:\\Images\\disc.nrg", L"C:\\Images\\disc.nrg"},
      {L"C:\\" + deep + name54, L"C:\\" + deep + name54},
      {L"C:\\" + deep + name55, L"\\\\?\\C:\\" + deep + name55},
      {L"C:/Images/../" + deep + name55, L"\\\\?\\C:\\" + deep + name55},  // taken literally: resolved first
      {L"sub\\..\\" + deep + name55, L"\\\\?\\" + here + L"\\" + deep + name55},
      {L"\\\\server\\share\\" + deep + name55, L"\\\\?\\UNC\\server\\share\\" + deep + name55},
      {L"\\\\?\\C:\\disc.nrg", L"\\\\?\\C:\\disc.nrg"},
  };
  for (const auto& [typed, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(typed.substr(0, 40)));
    const RecordingCalls calls;
    const auto outcome = modMain::CopyImage(typed, typed, [] { return true; }, calls);
    EXPECT_EQ(outcome.Ending, modMain::CopyEnding::OutputOpenFailed);
    EXPECT_EQ(calls.names, (std::vector<std::wstring>{expected, expected}));
  }

  // A real conversion in a folder past the limit: the copy and the size check.
  const std::filesystem::path deepFolder = folder.Path() / std::wstring(120, L'д') / std::wstring(150, L'e');
  std::filesystem::create_directories(deepFolder);
  const std::wstring input = (deepFolder / L"диск.nrg").wstring(), output = (deepFolder / L"диск.iso").wstring();
  ASSERT_GT(output.size(), 300u);
  const auto image = tests::PatternBytes(307200 + 70000);
  tests::WriteBytes(input, image);
  tests::MessageBoxRecorder boxes;
  modMain::ConvertImage(input, output);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].Text, L"NRG файл сконвертирован успешно ^_^v");
  EXPECT_EQ(tests::ReadBytes(output), std::vector<std::uint8_t>(image.begin() + 307200, image.end()));
}

}  // namespace
