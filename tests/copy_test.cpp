// The copy on its own, without a window: the bytes it writes, how it ends, the
// names the file functions get; and the full disk and the long names as the user meets them.
#include <filesystem>
#include <vector>

#include "conversion/convert_image.h"
#include "conversion/copy_image.h"
#include "harness.h"
#include "support/support_functions.h"

namespace {

using modMain::CopyEnding;
using tests::PatternBytes;
using tests::ReadBytes;
using tests::Tail;
using tests::WriteBytes;

constexpr std::size_t Header = 307200;
constexpr std::size_t Chunk = 65536;

// Where the file calls of one copy go wrong.
struct Script {
  int failingRead = 0;  // the n-th read fails with readCode
  DWORD readCode = 0;
  int failingWrite = 0;  // the n-th write fails with writeCode; with 0, it takes nothing and says nothing
  DWORD writeCode = 0;
  int shortWrite = 0;  // the n-th write takes half of what it is given
};

// The system's file calls, except where the script makes one of them fail.
struct ScriptedCalls : modMain::FileCalls {
  explicit ScriptedCalls(Script script = {}) : s(script) {}
  Script s;
  mutable int reads = 0, writes = 0;

  BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) const override {
    if (++reads == s.failingRead) return SetLastError(s.readCode), FALSE;
    return FileCalls::ReadFile(file, buffer, size, read);
  }
  BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) const override {
    const int call = ++writes;
    if (call == s.failingWrite && s.writeCode == 0) return SetLastError(ERROR_SUCCESS), *written = 0, TRUE;
    if (call == s.failingWrite) return SetLastError(s.writeCode), FALSE;
    return FileCalls::WriteFile(file, buffer, call == s.shortWrite ? size / 2 : size, written);
  }
};

class CopyImageTest : public testing::Test {
 protected:
  modMain::CopyOutcome Copy(const std::wstring& input, const ScriptedCalls& calls = ScriptedCalls(), int stopAtAsk = 0) {
    asks_ = 0;
    return modMain::CopyImage(input, output_, [&] { return ++asks_ != stopAtAsk; }, calls);
  }

  // Both files closed: neither is still held with its sharing rules.
  void ExpectClosed() const {
    const HANDLE input = CreateFileW(input_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(input, INVALID_HANDLE_VALUE) << "the input is still open";
    CloseHandle(input);
    if (std::filesystem::exists(output_)) {
      EXPECT_TRUE(DeleteFileW(output_.c_str())) << "the output is still open";
    }
  }

  tests::TempFolder folder_;
  std::wstring input_ = folder_ / L"disc.nrg";
  std::wstring output_ = folder_ / L"disc.iso";
  int asks_ = 0;
};

TEST_F(CopyImageTest, CopiesEveryByteAfterTheHeaderAndAsksAfterEveryChunkAndTheEmptyRead) {
  // Largest first, so that every later copy must truncate what the one before left.
  for (const std::size_t size : {Header + 3 * Chunk + 17, std::size_t{0}, std::size_t{1}, Header - 1, Header,
                                 Header + 1, Header + Chunk - 1, Header + Chunk, Header + Chunk + 1}) {
    SCOPED_TRACE(size);
    const auto bytes = PatternBytes(size, static_cast<std::uint32_t>(size));
    WriteBytes(input_, bytes);
    const auto outcome = Copy(input_);
    EXPECT_EQ(outcome.Ending, CopyEnding::Copied);
    EXPECT_EQ(ReadBytes(output_), Tail(bytes));
    EXPECT_EQ(asks_, static_cast<int>((Tail(bytes).size() + Chunk - 1) / Chunk + 1));
  }
}

TEST_F(CopyImageTest, FailuresAndStopsEndItWithTheCodeAndKeepWhatWasWritten) {
  const auto image = PatternBytes(Header + 4 * Chunk);
  const struct Case {
    const char* what;
    Script script;
    int stopAtAsk;
    CopyEnding ending;
    DWORD code;
    std::size_t written;
  } cases[] = {
      {"third read fails", {.failingRead = 3, .readCode = ERROR_CRC}, 0, CopyEnding::ReadFailed, 23, 2 * Chunk},
      {"disk full", {.failingWrite = 2, .writeCode = ERROR_DISK_FULL}, 0, CopyEnding::WriteFailed, 112, Chunk},
      {"a write takes nothing and says nothing", {.failingWrite = 2}, 0, CopyEnding::WriteFailed, 29, Chunk},
      {"a short write is finished", {.shortWrite = 2}, 0, CopyEnding::Copied, 0, 4 * Chunk},
      {"stopped after the second chunk", {}, 2, CopyEnding::Stopped, 0, 2 * Chunk},
      {"stopped at the empty read", {}, 5, CopyEnding::Stopped, 0, 4 * Chunk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(input_, image);
    const auto outcome = Copy(input_, ScriptedCalls(c.script), c.stopAtAsk);
    EXPECT_EQ(outcome.Ending, c.ending);
    EXPECT_EQ(outcome.ErrorCode, c.code);
    EXPECT_EQ(ReadBytes(output_), Tail(image, c.written));
    ExpectClosed();
  }
}

TEST_F(CopyImageTest, FilesThatCannotBeOpenedEndItBeforeAnyByteMoves) {
  const auto missing = Copy(folder_ / L"absent.nrg");
  EXPECT_EQ(missing.Ending, CopyEnding::InputOpenFailed);
  EXPECT_EQ(missing.ErrorCode, 2u);
  EXPECT_FALSE(std::filesystem::exists(output_)) << "no output without an input";

  const auto image = PatternBytes(Header + 1000);
  WriteBytes(input_, image);
  output_ = input_;
  const auto same = Copy(input_);
  EXPECT_EQ(same.Ending, CopyEnding::OutputOpenFailed);
  EXPECT_EQ(same.ErrorCode, 32u) << "the input is open for reading only";
  EXPECT_EQ(ReadBytes(input_), image);
  EXPECT_EQ(asks_, 0);
}

TEST(FileSizeTest, SizesPastFourGiBAreWhole) {
  tests::TempFolder folder;
  const std::wstring name = folder / L"big.nrg";
  const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  // Sparse where the file system allows: nothing is written.
  const bool sized = SetFilePointerEx(file, LARGE_INTEGER{.QuadPart = 5368709121}, nullptr, FILE_BEGIN) &&
                     SetEndOfFile(file);
  CloseHandle(file);
  ASSERT_TRUE(sized);
  EXPECT_EQ(support::ksGetFileSizeEx(name), 5368709121.0);
}

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
  const std::filesystem::path deepFolder = folder.Path / std::wstring(120, L'д') / std::wstring(150, L'e');
  std::filesystem::create_directories(deepFolder);
  const std::wstring input = (deepFolder / L"диск.nrg").wstring(), output = (deepFolder / L"диск.iso").wstring();
  ASSERT_GT(output.size(), 300u);
  const auto image = PatternBytes(307200 + 70000);
  WriteBytes(input, image);
  tests::MessageBoxRecorder boxes;
  modMain::ConvertImage(input, output);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].Text, L"NRG файл сконвертирован успешно ^_^v");
  EXPECT_EQ(ReadBytes(output), Tail(image));
}


// A real small file system: scripts/test.sh mounts one and names its drive.
TEST(FullDiskTest, AFullDiskIsToldAsSuchAndHoldsTheImageAsFarAsItFits) {
  const wchar_t* drive = _wgetenv(L"TESSALINE_SMALL_DISK");
  if (drive == nullptr || *drive == L'\0') GTEST_SKIP() << "no small disk: scripts/test.sh mounts one when run as root";
  const std::wstring output = std::wstring(drive) + L"disc.iso";
  DeleteFileW(output.c_str());  // left by an earlier run on the same disk
  ULARGE_INTEGER room{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(drive, &room, nullptr, nullptr)) << "no drive " << testing::PrintToString(drive);
  ASSERT_LT(room.QuadPart, 16u << 20) << "not a small disk";
  ASSERT_NE(room.QuadPart % 65536, 0u) << "the last chunk that fits is to be written short";

  tests::TempFolder folder;
  const auto image = PatternBytes(Header + room.QuadPart + 2 * 65536);
  WriteBytes(folder / L"disc.nrg", image);

  tests::MessageBoxRecorder boxes;
  modMain::ConvertImage(folder / L"disc.nrg", output);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].Text, L"Не удаётся записать в ISO файл.\r\n\r\nDisk full. (112)");  // Wine's words
  EXPECT_EQ(ReadBytes(output), Tail(image, room.QuadPart)) << "every byte that fitted, in order";
}

}  // namespace
