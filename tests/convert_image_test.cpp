#include "conversion/convert_image.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>

#include "conversion/file_functions.h"
#include "conversion/messages.h"
#include "conversion/run_flags.h"
#include "forms/event_pump.h"
#include "message_box_recorder.h"
#include "temp_files.h"

namespace {

using modMain::ChunkSize;
using modMain::ConvertImage;
using modMain::HeaderSize;
using tests::MessageBoxRecorder;
using tests::PatternBytes;
using tests::ReadBytes;
using tests::WriteBytes;

std::vector<std::uint8_t> Tail(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() <= HeaderSize) return {};
  return std::vector<std::uint8_t>(bytes.begin() + HeaderSize, bytes.end());
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) { return text.rfind(prefix, 0) == 0; }

class ConvertImageTest : public testing::Test {
 protected:
  void SetUp() override { modMain::CancelRequested = support::False; }
  void TearDown() override { EXPECT_EQ(modMain::CancelRequested, support::False); }

  // Counts the event pumps; the action runs inside the pump, as a click would.
  support::Seam<forms::EventPumpFunction>::Override PumpWith(std::function<void(int pumpNumber)> action) {
    return forms::EventPumpSeam.Replace([this, action = std::move(action)] { action(++pumps_); });
  }

  tests::TempFolder folder_;
  std::wstring input_ = folder_ / L"disc.nrg";
  std::wstring output_ = folder_ / L"disc.iso";
  MessageBoxRecorder boxes_;
  int pumps_ = 0;
};

TEST_F(ConvertImageTest, CopiesEveryByteAfterTheHeaderForSizesAroundTheBoundaries) {
  const std::size_t sizes[] = {0,
                               1,
                               HeaderSize - 1,
                               HeaderSize,
                               HeaderSize + 1,
                               HeaderSize + ChunkSize - 1,
                               HeaderSize + ChunkSize,
                               HeaderSize + ChunkSize + 1,
                               HeaderSize + 3 * ChunkSize + 17};
  auto pump = PumpWith([](int) {});
  for (const std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const auto bytes = PatternBytes(size, static_cast<std::uint32_t>(size));
    WriteBytes(input_, bytes);
    const std::size_t before = boxes_.Boxes().size();

    ConvertImage(input_, output_);

    EXPECT_EQ(ReadBytes(output_), Tail(bytes));
    ASSERT_EQ(boxes_.Boxes().size(), before + 1);
    const auto& box = boxes_.Boxes().back();
    if (size >= HeaderSize) {
      EXPECT_EQ(box.Text, modMain::SuccessText);
      EXPECT_EQ(box.Style, 64u);
    } else {
      // Too short to hold an image: the sizes differ by the input's size.
      EXPECT_EQ(box.Text, modMain::SizeMismatchText);
      EXPECT_EQ(box.Style, 16u);
    }
    EXPECT_EQ(box.Caption, L"Kelvane - Tessaline");
  }
}

TEST_F(ConvertImageTest, ServesEventsOncePerChunkIncludingTheLastEmptyRead) {
  WriteBytes(input_, PatternBytes(HeaderSize + 2 * ChunkSize + 1));
  auto pump = PumpWith([](int) {});
  ConvertImage(input_, output_);
  EXPECT_EQ(pumps_, 4);  // three reads with data, one empty
}

TEST_F(ConvertImageTest, MissingInputIsReportedAndCreatesNoOutput) {
  ConvertImage(folder_ / L"absent.nrg", output_);

  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  const auto& box = boxes_.Boxes()[0];
  EXPECT_TRUE(StartsWith(box.Text, std::wstring(modMain::InputOpenFailedText) + L"\r\n\r\n")) << box.Text;
  EXPECT_NE(box.Text.find(L"(2)"), std::wstring::npos) << "the system error code belongs in the box";
  EXPECT_EQ(box.Style, 16u);
  EXPECT_FALSE(tests::FileExists(output_));
}

TEST_F(ConvertImageTest, SameFileForInputAndOutputLeavesTheInputIntact) {
  const auto bytes = PatternBytes(HeaderSize + 1000);
  WriteBytes(input_, bytes);

  ConvertImage(input_, input_);

  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_TRUE(StartsWith(boxes_.Boxes()[0].Text, modMain::OutputOpenFailedText));
  EXPECT_NE(boxes_.Boxes()[0].Text.find(L"(32)"), std::wstring::npos) << "a sharing violation";
  EXPECT_EQ(ReadBytes(input_), bytes);
}

TEST_F(ConvertImageTest, TruncatesAnExistingOutput) {
  WriteBytes(output_, PatternBytes(3 * ChunkSize, 7));
  const auto bytes = PatternBytes(HeaderSize + 10);
  WriteBytes(input_, bytes);

  ConvertImage(input_, output_);

  EXPECT_EQ(ReadBytes(output_), Tail(bytes));
  EXPECT_EQ(boxes_.Boxes().at(0).Text, modMain::SuccessText);
}

TEST_F(ConvertImageTest, OpensNamesThatTheAnsiCodePageCannotHold) {
  // Cyrillic is outside code page 1252 and CJK outside 1251: neither survives an 8-bit conversion on every system.
  const std::wstring input = folder_ / L"образ диска.nrg";
  const std::wstring output = folder_ / L"光盘 映像.iso";
  WriteBytes(input_, PatternBytes(HeaderSize + 5));  // a decoy that a lossy name could hit
  const auto bytes = PatternBytes(HeaderSize + ChunkSize + 3, 9);
  WriteBytes(input, bytes);

  ConvertImage(input, output);

  EXPECT_EQ(ReadBytes(output), Tail(bytes));
  EXPECT_EQ(boxes_.Boxes().at(0).Text, modMain::SuccessText);
}

TEST_F(ConvertImageTest, ThePartialImageIsReadableButTheInputIsNotWritableDuringTheCopy) {
  WriteBytes(input_, PatternBytes(HeaderSize + 2 * ChunkSize));
  bool checked = false;
  auto pump = PumpWith([&](int number) {
    if (number != 1) return;
    checked = true;
    const HANDLE reader = CreateFileW(output_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE) << "another program may look at the image being written";
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    const HANDLE writer =
        CreateFileW(input_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "nobody may change the image being read";
    if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  });
  ConvertImage(input_, output_);
  EXPECT_TRUE(checked);
}

// Counts the handles that the conversion opens and closes, and lets a test
// replace single calls.
class FileCallsTest : public ConvertImageTest {
 protected:
  FileCallsTest() {
    const modMain::FileFunctions real;
    fake_.CreateFile = [this, real](LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                    DWORD disposition, DWORD flags, HANDLE templateFile) {
      const HANDLE handle = real.CreateFile(name, access, share, security, disposition, flags, templateFile);
      if (handle != INVALID_HANDLE_VALUE) ++opened_;
      return handle;
    };
    fake_.CloseHandle = [this, real](HANDLE handle) {
      ++closed_;
      return real.CloseHandle(handle);
    };
  }

  void Install() { override_.emplace(modMain::FileFunctionsSeam, fake_); }

  modMain::FileFunctions fake_;
  std::optional<support::Seam<modMain::FileFunctions>::Override> override_;
  int opened_ = 0;
  int closed_ = 0;
};

TEST_F(FileCallsTest, FailedReadIsReportedWithItsCodeAndKeepsWhatWasWritten) {
  const auto bytes = PatternBytes(HeaderSize + 5 * ChunkSize);
  WriteBytes(input_, bytes);
  int reads = 0;
  fake_.ReadFile = [&reads](HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped) {
    if (++reads == 3) {
      SetLastError(ERROR_CRC);
      return FALSE;
    }
    return ::ReadFile(file, buffer, size, read, overlapped);
  };
  Install();

  ConvertImage(input_, output_);

  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_TRUE(StartsWith(boxes_.Boxes()[0].Text, modMain::ReadFailedText));
  EXPECT_NE(boxes_.Boxes()[0].Text.find(L"(23)"), std::wstring::npos);
  EXPECT_EQ(boxes_.Boxes()[0].Style, 16u);
  EXPECT_EQ(ReadBytes(output_).size(), 2 * ChunkSize);
  EXPECT_EQ(opened_, 2);
  EXPECT_EQ(closed_, 2);
}

TEST_F(FileCallsTest, FullDiskIsReportedWithItsCode) {
  WriteBytes(input_, PatternBytes(HeaderSize + 4 * ChunkSize));
  int writes = 0;
  fake_.WriteFile = [&writes](HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    if (++writes == 2) {
      SetLastError(ERROR_DISK_FULL);
      return FALSE;
    }
    return ::WriteFile(file, buffer, size, written, overlapped);
  };
  Install();

  ConvertImage(input_, output_);

  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_TRUE(StartsWith(boxes_.Boxes()[0].Text, modMain::WriteFailedText));
  EXPECT_NE(boxes_.Boxes()[0].Text.find(L"(112)"), std::wstring::npos);
  EXPECT_EQ(ReadBytes(output_).size(), ChunkSize);
  EXPECT_EQ(closed_, 2);
}

TEST_F(FileCallsTest, ShortWriteIsAFailedWriteNotASuccess) {
  WriteBytes(input_, PatternBytes(HeaderSize + 4 * ChunkSize));
  int writes = 0;
  fake_.WriteFile = [&writes](HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    // The second write takes only half of its chunk and still says it succeeded.
    if (++writes == 2) size /= 2;
    SetLastError(ERROR_SUCCESS);
    return ::WriteFile(file, buffer, size, written, overlapped);
  };
  Install();

  ConvertImage(input_, output_);

  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_TRUE(StartsWith(boxes_.Boxes()[0].Text, modMain::WriteFailedText)) << boxes_.Boxes()[0].Text;
  EXPECT_NE(boxes_.Boxes()[0].Text.find(L"(29)"), std::wstring::npos) << "a write fault, not 'success'";
  EXPECT_EQ(writes, 2) << "the copy stops at the short write";
  EXPECT_EQ(closed_, 2);
}

TEST_F(FileCallsTest, OutputThatVanishesBeforeTheSizeCheckIsReportedNotFatal) {
  WriteBytes(input_, PatternBytes(HeaderSize + ChunkSize));
  fake_.CloseHandle = [this](HANDLE handle) {
    ++closed_;
    const BOOL closed = ::CloseHandle(handle);
    if (closed_ == 2) DeleteFileW(output_.c_str());  // another program removes the fresh image
    return closed;
  };
  Install();

  ConvertImage(input_, output_);

  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_TRUE(StartsWith(boxes_.Boxes()[0].Text, std::wstring(modMain::SizeMismatchText) + L"\r\n\r\n"))
      << boxes_.Boxes()[0].Text;
  EXPECT_NE(boxes_.Boxes()[0].Text.find(L"(2)"), std::wstring::npos);
  EXPECT_EQ(boxes_.Boxes()[0].Style, 16u);
}

TEST_F(FileCallsTest, HandlesAreClosedWhenAnErrorPassesThrough) {
  WriteBytes(input_, PatternBytes(HeaderSize + 3 * ChunkSize));
  Install();
  auto pump = PumpWith([](int) { throw std::runtime_error("toolkit failure"); });

  EXPECT_THROW(ConvertImage(input_, output_), std::runtime_error);

  EXPECT_EQ(opened_, 2);
  EXPECT_EQ(closed_, 2);
  EXPECT_TRUE(DeleteFileW(output_.c_str())) << "the output is no longer held open";
  modMain::CancelRequested = support::False;
}

TEST_F(FileCallsTest, InputOver4GiBIsCopiedToTheExactSize) {
  // A sparse input: 4 GiB of holes between a head and a tail that must land in place.
  const ULONGLONG imageSize = (4ull << 30) + 12345;
  {
    const HANDLE file = CreateFileW(input_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD ignored = 0;
    const auto head = PatternBytes(1000, 1);
    const auto tail = PatternBytes(777, 2);
    LARGE_INTEGER at{};
    at.QuadPart = HeaderSize;
    SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    WriteFile(file, head.data(), static_cast<DWORD>(head.size()), &ignored, nullptr);
    at.QuadPart = static_cast<LONGLONG>(HeaderSize + imageSize - tail.size());
    SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
    WriteFile(file, tail.data(), static_cast<DWORD>(tail.size()), &ignored, nullptr);
    CloseHandle(file);
  }
  // Holes stay holes in the output too: a chunk of zeros moves the file pointer instead of filling the disk.
  fake_.WriteFile = [](HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (std::all_of(bytes, bytes + size, [](std::uint8_t b) { return b == 0; })) {
      LARGE_INTEGER distance{};
      distance.QuadPart = size;
      *written = size;
      return SetFilePointerEx(file, distance, nullptr, FILE_CURRENT);
    }
    return ::WriteFile(file, buffer, size, written, overlapped);
  };
  Install();
  auto pump = PumpWith([](int) {});

  ConvertImage(input_, output_);

  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].Text, modMain::SuccessText);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(output_.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, imageSize);

  const HANDLE file = CreateFileW(output_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  std::vector<std::uint8_t> head(1000), tail(777);
  DWORD read = 0;
  ReadFile(file, head.data(), 1000, &read, nullptr);
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(imageSize - tail.size());
  SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
  ReadFile(file, tail.data(), 777, &read, nullptr);
  CloseHandle(file);
  EXPECT_EQ(head, PatternBytes(1000, 1));
  EXPECT_EQ(tail, PatternBytes(777, 2));
}

}  // namespace
