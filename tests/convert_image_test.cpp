#include "conversion/convert_image.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "conversion/file_functions.h"
#include "conversion/messages.h"
#include "forms/event_pump.h"
#include "message_box_recorder.h"
#include "support/support_functions.h"
#include "temp_files.h"

namespace {

using modMain::ChunkSize;
using modMain::HeaderSize;
using tests::PatternBytes;
using tests::ReadBytes;

using ReadFunction = std::function<BOOL(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED)>;
using WriteFunction = std::function<BOOL(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED)>;

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

std::vector<std::uint8_t> Tail(const std::vector<std::uint8_t>& bytes) {
  return {bytes.begin() + std::min<std::size_t>(bytes.size(), HeaderSize), bytes.end()};
}

// Writes or reads bytes at an offset of a file that may be larger than memory.
bool AtOffset(const std::wstring& name, ULONGLONG offset, std::vector<std::uint8_t>& bytes, bool write) {
  const HANDLE file = CreateFileW(name.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  write ? OPEN_ALWAYS : OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD done = 0;
  const BOOL ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                  (write ? WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr)
                         : ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr));
  CloseHandle(file);
  return ok && done == bytes.size();
}

class ConvertImageTest : public testing::Test {
 protected:
  // The real file calls, counting the handles that the conversion opens and closes.
  ConvertImageTest() {
    files_.CreateFile = [this](LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE templateFile) {
      const HANDLE handle = ::CreateFileW(name, access, share, security, disposition, flags, templateFile);
      opened_ += handle != INVALID_HANDLE_VALUE;
      return handle;
    };
    files_.CloseHandle = [this](HANDLE handle) {
      ++closed_;
      return ::CloseHandle(handle);
    };
  }

  // Converts with the file calls in files_; the action runs inside each event pump, as a click would.
  void Convert(const std::wstring& input, const std::wstring& output,
               const std::function<void(int pumpNumber)>& atPump = [](int) {}) {
    const support::Seam<modMain::FileFunctions>::Override files(modMain::FileFunctionsSeam, files_);
    const auto pump = forms::EventPumpSeam.Replace([&] { atPump(++pumps_); });
    modMain::ConvertImage(input, output);
  }

  // The one new box is an error box: the message, the system's words, then the code.
  void ExpectFailure(std::size_t boxesBefore, const wchar_t* message, DWORD code) const {
    ASSERT_EQ(boxes_.Boxes().size(), boxesBefore + 1);
    const forms::MessageBoxRequest& box = boxes_.Boxes().back();
    EXPECT_EQ(box.Text.rfind(message + std::wstring(L"\r\n\r\n"), 0), 0u) << testing::PrintToString(box.Text);
    EXPECT_NE(box.Text.find(L"(" + std::to_wstring(code) + L")"), std::wstring::npos)
        << "code " << code << " belongs in " << testing::PrintToString(box.Text);
    EXPECT_EQ(box.Style, 16u);
  }

  tests::TempFolder folder_;
  std::wstring input_ = folder_ / L"disc.nrg";
  std::wstring output_ = folder_ / L"disc.iso";
  tests::MessageBoxRecorder boxes_;
  modMain::FileFunctions files_;
  int opened_ = 0;
  int closed_ = 0;
  int pumps_ = 0;
};

TEST_F(ConvertImageTest, CopiesEveryByteAfterTheHeaderForSizesAroundTheBoundaries) {
  // Largest first, so that every later run must cut down the output that the one before left.
  const std::size_t sizes[] = {HeaderSize + 3 * ChunkSize + 17, 0, 1, HeaderSize - 1, HeaderSize, HeaderSize + 1,
                               HeaderSize + ChunkSize - 1, HeaderSize + ChunkSize, HeaderSize + ChunkSize + 1};
  for (const std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const auto bytes = PatternBytes(size, static_cast<std::uint32_t>(size));
    tests::WriteBytes(input_, bytes);
    const std::size_t before = boxes_.Boxes().size();
    pumps_ = 0;

    Convert(input_, output_);

    EXPECT_EQ(ReadBytes(output_), Tail(bytes));
    EXPECT_EQ(pumps_, (Tail(bytes).size() + ChunkSize - 1) / ChunkSize + 1) << "once a chunk, and for the empty read";
    ASSERT_EQ(boxes_.Boxes().size(), before + 1);
    // Too short to hold an image: the sizes differ by the input's size.
    const bool image = size >= HeaderSize;
    EXPECT_EQ(boxes_.Boxes().back().Text, image ? modMain::SuccessText : modMain::SizeMismatchText);
    EXPECT_EQ(boxes_.Boxes().back().Style, image ? 64u : 16u);
    EXPECT_EQ(boxes_.Boxes().back().Caption, L"Kelvane - Tessaline");
  }
}

TEST_F(ConvertImageTest, MissingInputIsReportedAndCreatesNoOutput) {
  Convert(folder_ / L"absent.nrg", output_);
  ExpectFailure(0, modMain::InputOpenFailedText, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(output_));
}

TEST_F(ConvertImageTest, SameFileForInputAndOutputLeavesTheInputIntact) {
  const auto bytes = PatternBytes(HeaderSize + 1000);
  tests::WriteBytes(input_, bytes);
  Convert(input_, input_);
  ExpectFailure(0, modMain::OutputOpenFailedText, ERROR_SHARING_VIOLATION);
  EXPECT_EQ(ReadBytes(input_), bytes);
}

TEST_F(ConvertImageTest, OpensNamesThatTheAnsiCodePageCannotHold) {
  // Cyrillic is outside code page 1252 and CJK outside 1251: neither survives an 8-bit conversion on every system.
  const std::wstring input = folder_ / L"образ диска.nrg";
  const std::wstring output = folder_ / L"光盘 映像.iso";
  tests::WriteBytes(input_, PatternBytes(HeaderSize + 5));  // a decoy that a lossy name could hit
  const auto bytes = PatternBytes(HeaderSize + ChunkSize + 3, 9);
  tests::WriteBytes(input, bytes);

  Convert(input, output);

  EXPECT_EQ(ReadBytes(output), Tail(bytes));
  EXPECT_EQ(boxes_.Boxes().at(0).Text, modMain::SuccessText);
}

TEST_F(ConvertImageTest, ThePartialImageIsReadableButTheInputIsNotWritableDuringTheCopy) {
  tests::WriteBytes(input_, PatternBytes(HeaderSize + 2 * ChunkSize));
  const auto opens = [](const std::wstring& name, DWORD access) {
    const HANDLE file = CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    0, nullptr);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
  };
  Convert(input_, output_, [&](int pump) {
    if (pump != 1) return;
    EXPECT_TRUE(opens(output_, GENERIC_READ)) << "another program may look at the image being written";
    EXPECT_FALSE(opens(input_, GENERIC_WRITE)) << "nobody may change the image being read";
  });
  EXPECT_GE(pumps_, 1) << "the checks ran";
}

TEST_F(ConvertImageTest, FailedReadsAndWritesAreReportedWithTheirCodesAndKeepWhatWasWritten) {
  int calls = 0;  // of the one call that a case replaces
  const ReadFunction failingThirdRead = [&](HANDLE f, LPVOID b, DWORD n, LPDWORD done, LPOVERLAPPED o) {
    return ++calls == 3 ? Fail(ERROR_CRC) : ::ReadFile(f, b, n, done, o);
  };
  const WriteFunction diskFullAtSecondWrite = [&](HANDLE f, LPCVOID b, DWORD n, LPDWORD done, LPOVERLAPPED o) {
    return ++calls == 2 ? Fail(ERROR_DISK_FULL) : ::WriteFile(f, b, n, done, o);
  };
  // Takes half of the second chunk and still says it succeeded.
  const WriteFunction shortSecondWrite = [&](HANDLE f, LPCVOID b, DWORD n, LPDWORD done, LPOVERLAPPED o) {
    SetLastError(ERROR_SUCCESS);
    return ::WriteFile(f, b, ++calls == 2 ? n / 2 : n, done, o);
  };
  const struct {
    const char* what;
    ReadFunction read;
    WriteFunction write;
    const wchar_t* message;
    DWORD code;
    std::size_t outputSize;
  } cases[] = {
      {"failed read", failingThirdRead, ::WriteFile, modMain::ReadFailedText, ERROR_CRC, 2 * ChunkSize},
      {"disk full", ::ReadFile, diskFullAtSecondWrite, modMain::WriteFailedText, ERROR_DISK_FULL, ChunkSize},
      {"short write", ::ReadFile, shortSecondWrite, modMain::WriteFailedText, ERROR_WRITE_FAULT, ChunkSize * 3 / 2},
  };
  tests::WriteBytes(input_, PatternBytes(HeaderSize + 4 * ChunkSize));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    files_.ReadFile = c.read;
    files_.WriteFile = c.write;
    calls = opened_ = closed_ = 0;
    const std::size_t before = boxes_.Boxes().size();

    Convert(input_, output_);

    ExpectFailure(before, c.message, c.code);
    EXPECT_EQ(ReadBytes(output_).size(), c.outputSize) << "the copy stops at the failure, keeping what came before";
    EXPECT_EQ(opened_, 2);
    EXPECT_EQ(closed_, 2);
  }
}

TEST_F(ConvertImageTest, OutputThatVanishesBeforeTheSizeCheckIsReportedNotFatal) {
  tests::WriteBytes(input_, PatternBytes(HeaderSize + ChunkSize));
  files_.CloseHandle = [this](HANDLE handle) {
    const BOOL closed = ::CloseHandle(handle);
    if (++closed_ == 2) DeleteFileW(output_.c_str());  // another program removes the fresh image
    return closed;
  };
  Convert(input_, output_);
  ExpectFailure(0, modMain::SizeMismatchText, ERROR_FILE_NOT_FOUND);
}

TEST_F(ConvertImageTest, HandlesAreClosedWhenAnErrorPassesThrough) {
  tests::WriteBytes(input_, PatternBytes(HeaderSize + 3 * ChunkSize));
  EXPECT_THROW(Convert(input_, output_, [](int) { throw std::runtime_error("toolkit failure"); }), std::runtime_error);
  EXPECT_EQ(opened_, 2);
  EXPECT_EQ(closed_, 2);
  EXPECT_TRUE(DeleteFileW(output_.c_str())) << "the output is no longer held open";
}

TEST_F(ConvertImageTest, InputOver4GiBIsCopiedToTheExactSize) {
  // A sparse input: 4 GiB of holes, then a tail that must land in place.
  const ULONGLONG imageSize = (4ull << 30) + 12345;
  auto tail = PatternBytes(777, 2);
  ASSERT_TRUE(AtOffset(input_, HeaderSize + imageSize - tail.size(), tail, true));
  // Holes stay holes in the output too: a chunk of zeros moves the file pointer instead of filling the disk.
  files_.WriteFile = [](HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (!std::all_of(bytes, bytes + size, [](std::uint8_t b) { return b == 0; })) {
      return ::WriteFile(file, buffer, size, written, overlapped);
    }
    *written = size;
    return SetFilePointerEx(file, LARGE_INTEGER{.QuadPart = size}, nullptr, FILE_CURRENT);
  };

  Convert(input_, output_);

  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].Text, modMain::SuccessText);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(output_.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow, imageSize);
  // Sizes past 4 GiB in full: cut to 32 bits, both would lose the same 4 GiB and still "match".
  EXPECT_EQ(support::ksGetFileSizeEx(input_), static_cast<double>(HeaderSize + imageSize));
  std::vector<std::uint8_t> outputTail(tail.size());
  ASSERT_TRUE(AtOffset(output_, imageSize - tail.size(), outputTail, false));
  EXPECT_EQ(outputTail, tail);
}

}  // namespace
