// The copy on its own, without a window: the bytes it writes, how it ends, the
// names the file functions get; and the full disk and the long names as the user meets them.
#include <filesystem>
#include <map>
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

// Where the file calls of one copy go wrong, and what the output's volume says of itself.
struct Script {
  const char* failing = "";  // this call fails on its n-th time, with the code (0: it says nothing)
  int nth = 1;
  DWORD code = 0;
  int emptyWrite = 0;  // the n-th write takes nothing and says nothing
  int shortWrite = 0;  // the n-th write takes half of what it is given
  int stopAtAsk = 0;  // the n-th question whether to go on is answered no
  LONGLONG inputSize = -1;  // the input's size as told, where not -1
  const wchar_t* fileSystem = nullptr;  // the output volume's file system as told, where not null
  ULONGLONG freeBytes = 1ull << 40;  // the room on the output's volume as told (a real one: the full-disk test)
};

// The system's file calls, except where the script says otherwise.
struct ScriptedCalls : modMain::FileCalls {
  explicit ScriptedCalls(Script script = {}) : s(script) {}
  Script s;
  mutable std::map<std::string, int> counts;

  bool Fails(const std::string& call) const {
    return ++counts[call] == s.nth && call == s.failing && (SetLastError(s.code), true);
  }
  HANDLE CreateFile(const std::wstring& name, DWORD access, DWORD share, DWORD disposition) const override {
    return Fails("CreateFile") ? INVALID_HANDLE_VALUE : FileCalls::CreateFile(name, access, share, disposition);
  }
  BOOL GetFileSizeEx(HANDLE file, LONGLONG* size) const override {
    if (Fails("GetFileSizeEx")) return FALSE;
    return s.inputSize < 0 ? FileCalls::GetFileSizeEx(file, size) : (*size = s.inputSize, TRUE);
  }
  BOOL GetFileSystemName(HANDLE file, std::wstring* name) const override {
    if (Fails("GetFileSystemName")) return FALSE;
    return !s.fileSystem ? FileCalls::GetFileSystemName(file, name) : (*name = s.fileSystem, TRUE);
  }
  BOOL GetFreeBytes(HANDLE, ULONGLONG* free) const override {
    return !Fails("GetFreeBytes") && (*free = s.freeBytes, true);
  }
  BOOL SetFilePointerEx(HANDLE file, LONGLONG distance, DWORD method) const override {
    return !Fails("SetFilePointerEx") && FileCalls::SetFilePointerEx(file, distance, method);
  }
  BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) const override {
    return !Fails("ReadFile") && FileCalls::ReadFile(file, buffer, size, read);
  }
  BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) const override {
    if (Fails("WriteFile")) return FALSE;
    const int call = counts["WriteFile"];
    if (call == s.emptyWrite) return SetLastError(ERROR_SUCCESS), *written = 0, TRUE;
    return FileCalls::WriteFile(file, buffer, call == s.shortWrite ? size / 2 : size, written);
  }
  BOOL FlushFileBuffers(HANDLE file) const override {
    return !Fails("FlushFileBuffers") && FileCalls::FlushFileBuffers(file);
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

// Every call that can fail, also without saying why; what the volume says; a stop at any chunk.
TEST_F(CopyImageTest, FailuresRefusalsAndStopsEndItWithACodeAndKeepWhatWasWritten) {
  const auto image = PatternBytes(Header + 4 * Chunk);
  constexpr LONGLONG GiB4 = 1ll << 32;
  using enum CopyEnding;
  const struct Case {
    const char* what;
    Script script;
    CopyEnding ending;
    DWORD code;
    std::size_t written;
    int reads;
  } cases[] = {
      {"input not opened", {.failing = "CreateFile"}, InputOpenFailed, 31, 0, 0},
      {"output not opened", {.failing = "CreateFile", .nth = 2}, OutputOpenFailed, 31, 0, 0},
      {"seek fails", {.failing = "SetFilePointerEx"}, ReadFailed, 31, 0, 0},
      {"third read fails", {.failing = "ReadFile", .nth = 3, .code = ERROR_CRC}, ReadFailed, 23, 2 * Chunk, 3},
      {"a read says nothing", {.failing = "ReadFile"}, ReadFailed, 31, 0, 1},
      {"disk full", {.failing = "WriteFile", .nth = 2, .code = ERROR_DISK_FULL}, WriteFailed, 112, Chunk, 2},
      {"a write says nothing", {.failing = "WriteFile", .nth = 2}, WriteFailed, 31, Chunk, 2},
      {"a write takes nothing and says nothing", {.emptyWrite = 2}, WriteFailed, 29, Chunk, 2},
      {"a short write is finished", {.shortWrite = 2}, Copied, 0, 4 * Chunk, 5},
      {"the flush fails", {.failing = "FlushFileBuffers", .code = ERROR_IO_DEVICE}, WriteFailed, 1117, 4 * Chunk, 5},
      {"the flush says nothing", {.failing = "FlushFileBuffers"}, WriteFailed, 31, 4 * Chunk, 5},
      {"stopped after the second chunk", {.stopAtAsk = 2}, Stopped, 0, 2 * Chunk, 2},
      {"stopped at the empty read", {.stopAtAsk = 5}, Stopped, 0, 4 * Chunk, 5},
      // The volume, asked before any read; the input's size is told, the bytes copied are the image's.
      {"FAT32, 4 GiB", {.inputSize = Header + GiB4, .fileSystem = L"FAT32"}, WriteFailed, 223, 0, 0},
      {"FAT, 4 GiB", {.inputSize = Header + GiB4, .fileSystem = L"FAT"}, WriteFailed, 223, 0, 0},
      {"FAT32, 4 GiB less a byte", {.inputSize = Header + GiB4 - 1, .fileSystem = L"FAT32"}, Copied, 0, 4 * Chunk, 5},
      {"exFAT, 5 GiB", {.inputSize = Header + 5 * GiB4 / 4, .fileSystem = L"exFAT"}, Copied, 0, 4 * Chunk, 5},
      {"NTFS, 5 GiB", {.inputSize = Header + 5 * GiB4 / 4, .fileSystem = L"NTFS"}, Copied, 0, 4 * Chunk, 5},
      {"a byte too little room", {.fileSystem = L"NTFS", .freeBytes = 4 * Chunk - 1}, WriteFailed, 112, 0, 0},
      {"just enough room", {.fileSystem = L"NTFS", .freeBytes = 4 * Chunk}, Copied, 0, 4 * Chunk, 5},
      // What the volume cannot tell does not stop the copy: a failing write would say why.
      {"size unknown", {.failing = "GetFileSizeEx", .fileSystem = L"FAT32", .freeBytes = 0}, Copied, 0, 4 * Chunk, 5},
      {"file system unknown", {.failing = "GetFileSystemName", .inputSize = Header + GiB4}, Copied, 0, 4 * Chunk, 5},
      {"room unknown", {.failing = "GetFreeBytes", .fileSystem = L"NTFS", .freeBytes = 0}, Copied, 0, 4 * Chunk, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(input_, image);
    const ScriptedCalls calls(c.script);
    const auto outcome = Copy(input_, calls, c.script.stopAtAsk);
    EXPECT_EQ(outcome.Ending, c.ending);
    EXPECT_EQ(outcome.ErrorCode, c.code);
    EXPECT_EQ(ReadBytes(output_), Tail(image, c.written));
    EXPECT_EQ(std::filesystem::exists(output_), c.ending != InputOpenFailed && c.ending != OutputOpenFailed);
    EXPECT_EQ(calls.counts["ReadFile"], c.reads);
    ExpectClosed();
  }
}

TEST_F(CopyImageTest, TheSameNameForBothFilesCannotBeOpenedForWritingAndLeavesTheInputAsItWas) {
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
TEST(FullDiskTest, AnImageLargerThanTheFreeSpaceFailsAsAFullDiskBeforeAnyByteMoves) {
  const wchar_t* drive = _wgetenv(L"TESSALINE_SMALL_DISK");
  if (drive == nullptr || *drive == L'\0') GTEST_SKIP() << "no small disk: scripts/test.sh mounts one when run as root";
  const std::wstring output = std::wstring(drive) + L"disc.iso";
  DeleteFileW(output.c_str());  // left by an earlier run on the same disk
  ULARGE_INTEGER room{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(drive, &room, nullptr, nullptr)) << "no drive " << testing::PrintToString(drive);
  ASSERT_LT(room.QuadPart, 16u << 20) << "not a small disk";

  tests::TempFolder folder;
  WriteBytes(folder / L"disc.nrg", PatternBytes(Header + room.QuadPart + 1));
  tests::MessageBoxRecorder boxes;
  modMain::ConvertImage(folder / L"disc.nrg", output);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].Text, L"Не удаётся записать в ISO файл.\r\n\r\nDisk full. (112)");  // Wine's words
  EXPECT_EQ(std::filesystem::file_size(output), 0u) << "nothing copied";
}

}  // namespace
