// The copy on its own, without a window: the bytes it writes and how it ends.
#include "conversion/copy_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "support/support_functions.h"
#include "temp_files.h"

namespace {

using modMain::CopyEnding;
using tests::PatternBytes;
using tests::ReadBytes;

constexpr std::size_t Header = 307200;
constexpr std::size_t Chunk = 65536;

std::vector<std::uint8_t> Tail(const std::vector<std::uint8_t>& bytes) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), Header)), bytes.end()};
}

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
  mutable int reads = 0;
  mutable std::vector<DWORD> writes;

  BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) const override {
    if (++reads == s.failingRead) return SetLastError(s.readCode), FALSE;
    return FileCalls::ReadFile(file, buffer, size, read);
  }
  BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) const override {
    writes.push_back(size);
    const int call = static_cast<int>(writes.size());
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
    tests::WriteBytes(input_, bytes);
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
    tests::WriteBytes(input_, image);
    const auto outcome = Copy(input_, ScriptedCalls(c.script), c.stopAtAsk);
    EXPECT_EQ(outcome.Ending, c.ending);
    EXPECT_EQ(outcome.ErrorCode, c.code);
    const auto written = ReadBytes(output_);
    EXPECT_EQ(written, std::vector<std::uint8_t>(image.begin() + Header, image.begin() + Header + c.written));
    ExpectClosed();
  }
}

TEST_F(CopyImageTest, TheRestOfAShortWriteIsWrittenAtOnce) {
  tests::WriteBytes(input_, PatternBytes(Header + 3 * Chunk));
  const ScriptedCalls calls({.shortWrite = 2});
  Copy(input_, calls);
  EXPECT_EQ(calls.writes, (std::vector<DWORD>{65536, 65536, 32768, 65536}));
}

TEST_F(CopyImageTest, FilesThatCannotBeOpenedEndItBeforeAnyByteMoves) {
  const auto missing = Copy(folder_ / L"absent.nrg");
  EXPECT_EQ(missing.Ending, CopyEnding::InputOpenFailed);
  EXPECT_EQ(missing.ErrorCode, 2u);
  EXPECT_FALSE(std::filesystem::exists(output_)) << "no output without an input";

  const auto image = PatternBytes(Header + 1000);
  tests::WriteBytes(input_, image);
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

}  // namespace
