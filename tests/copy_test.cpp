// The copy on its own, without a window: the bytes it writes, how it ends, the
// names the file functions get; and the full disk and the long names as the user meets them.
#include <atomic>
#include <limits>
#include <map>

#include "conversion/convert_image.h"
#include "conversion/copy_image.h"
#include "forms/event_pump.h"
#include "harness.h"
#include "support/support_functions.h"
#include "win32/unique_handle.h"

namespace {

using modMain::CopyEnding, tests::PatternBytes, tests::ReadBytes, tests::Tail, tests::WriteBytes;

constexpr std::size_t Header = 307200, Chunk = 65536;
constexpr DWORD Sparse = FILE_ATTRIBUTE_SPARSE_FILE, Compressed = FILE_ATTRIBUTE_COMPRESSED;

// Where the file calls of one copy go wrong, what the output's volume says of itself, how fast its disk is.
struct Script {
  // This call fails on its n-th time, with the code (0: it says nothing).
  const char* failing = ""; int nth = 1; DWORD code = 0;
  // The n-th write takes nothing and says nothing; the n-th write takes half of what it is given.
  int emptyWrite = 0, shortWrite = 0;
  int stopAtAsk = 0;  // the n-th question whether to go on is answered no
  LONGLONG inputSize = -1;  // the input's size as told, where not -1
  const wchar_t* openAs = nullptr;  // every file opened is this one, where not null
  bool trickle = false;  // the ISO file read back (the third opened) gives at most 64 bytes a call
  // Told of the ISO file alone: its volume, its attributes until cleared, its old size (half of it allocated
  // when compressed).
  const wchar_t* fileSystem = L"NTFS";
  ULONGLONG freeBytes = 1ull << 40, cluster = 4096;
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
  LONGLONG replaced = 0;
  // An image of this size read and written without a disk, which takes the bytes at once and, when flushed,
  // drains them at this rate (bytes per second), its first `instant` bytes at once; the clock goes on only
  // while it drains.
  ULONGLONG fakeImage = 0, instant = 0;
  double drainRate = std::numeric_limits<double>::infinity();
  // Where set, a flush first posts WM_APP 1 to the test's thread, then waits until the test sets this (5 s at most).
  HANDLE release = nullptr;
};

// The system's file calls, except where the script says otherwise.
struct ScriptedCalls : modMain::FileCalls {
  explicit ScriptedCalls(Script script = {}) : s(script) {}
  mutable Script s;  // its attributes lose what the control calls clear
  mutable std::map<std::string, int> counts;
  mutable std::vector<std::wstring> names;  // as the file calls got them
  mutable HANDLE input = nullptr, output = nullptr;  // the first file opened, the last of the others
  mutable std::string controls;  // each as "code input-bytes", and whether the output was emptied, written to
  mutable ULONGLONG fakeRead = 0, unflushed = 0, onDisk = 0;
  mutable std::vector<ULONGLONG> flushed;  // the bytes each flush took to the disk
  mutable double seconds = 0, longest = 0;  // the clock, the longest flush
  const DWORD tester = GetCurrentThreadId();
  mutable std::atomic<DWORD> waited = WAIT_FAILED;  // how the wait for the release ended
  mutable std::atomic<bool> flushReturned = false;

  bool Fails(const std::string& call) const {
    return ++counts[call] == s.nth && call == s.failing && (SetLastError(s.code), true);
  }
  // The volume's answers are for the output only: a question about the input's would go unanswered.
  bool Asks(const std::string& call, HANDLE file) const {
    return !Fails(call) && (file == output || (SetLastError(ERROR_INVALID_HANDLE), false));
  }
  HANDLE CreateFile(const std::wstring& name, DWORD access, DWORD share, DWORD disposition) const override {
    names.push_back(name);
    if (Fails("CreateFile")) return INVALID_HANDLE_VALUE;
    return (counts["CreateFile"] == 1 ? input : output) =
               FileCalls::CreateFile(s.openAs ? s.openAs : name, access, share, disposition);
  }
  BOOL GetFileSizeEx(HANDLE file, LONGLONG* size) const override {
    if (Fails("GetFileSizeEx")) return FALSE;
    return s.inputSize < 0 || file != input ? FileCalls::GetFileSizeEx(file, size) : (*size = s.inputSize, TRUE);
  }
  BOOL GetFileInformationByHandleEx(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, void* info, DWORD) const override {
    if (!Asks("GetFileInformationByHandleEx", file)) return FALSE;
    if (kind == FileBasicInfo) static_cast<FILE_BASIC_INFO*>(info)->FileAttributes = s.attributes;
    const LONGLONG allocated = (s.attributes & Compressed) != 0 ? s.replaced / 2 : s.replaced;
    if (kind == FileStandardInfo) static_cast<FILE_STANDARD_INFO*>(info)->AllocationSize.QuadPart = allocated,
                                  static_cast<FILE_STANDARD_INFO*>(info)->EndOfFile.QuadPart = s.replaced;
    return TRUE;
  }
  BOOL GetFileSystemName(HANDLE file, std::wstring* name) const override {
    return Asks("GetFileSystemName", file) && (*name = s.fileSystem, true);
  }
  BOOL GetVolumeSpace(HANDLE file, const std::wstring&, modMain::VolumeSpace* space) const override {
    const modMain::VolumeSpace told{s.freeBytes, s.cluster};
    return Asks("GetVolumeSpace", file) && (*space = told, true);
  }
  BOOL SetFilePointerEx(HANDLE file, LONGLONG distance, DWORD method) const override {
    return !Fails("SetFilePointerEx") && FileCalls::SetFilePointerEx(file, distance, method);
  }
  BOOL SetEndOfFile(HANDLE file) const override { return !Fails("SetEndOfFile") && FileCalls::SetEndOfFile(file); }
  BOOL ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) const override {
    if (Fails("ReadFile")) return FALSE;
    if (s.fakeImage == 0) return FileCalls::ReadFile(file, buffer, s.trickle && counts["CreateFile"] > 2 ? std::min(size, 64ul) : size, read);
    *read = static_cast<DWORD>(std::min<ULONGLONG>(size, s.fakeImage - fakeRead));
    return fakeRead += *read, TRUE;
  }
  BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) const override {
    if (Fails("WriteFile")) return FALSE;
    const int call = counts["WriteFile"];
    if (call == s.emptyWrite) return SetLastError(ERROR_SUCCESS), *written = 0, TRUE;
    if (s.fakeImage > 0) return unflushed += size, *written = size, TRUE;
    return FileCalls::WriteFile(file, buffer, call == s.shortWrite ? size / 2 : size, written) &&
           (unflushed += *written, true);
  }
  BOOL FlushFileBuffers(HANDLE file) const override {
    if (s.release) PostThreadMessageW(tester, WM_APP, 1, 0), waited = WaitForSingleObject(s.release, 5000);
    if (Fails("FlushFileBuffers") || (s.fakeImage == 0 && !FileCalls::FlushFileBuffers(file))) return flushReturned = true, FALSE;
    const double took = static_cast<double>(std::max(onDisk + unflushed, s.instant) - std::max(onDisk, s.instant)) / s.drainRate;
    seconds += took, longest = std::max(longest, took);
    onDisk += flushed.emplace_back(std::exchange(unflushed, 0));
    return flushReturned = true, TRUE;
  }
  BOOL DeviceIoControl(HANDLE file, DWORD code, const void* in, DWORD size) const override {
    // The system's own answer counts only where it refuses the handle the access the code asks for.
    const bool refused = !FileCalls::DeviceIoControl(file, code, in, size) && GetLastError() == ERROR_ACCESS_DENIED;
    const int given = size == 1 ? *static_cast<const BYTE*>(in) : *static_cast<const USHORT*>(in);
    char text[64];
    snprintf(text, sizeof text, "%lX %0*X%s%s%s; ", code, static_cast<int>(2 * size), given,
             counts["SetEndOfFile"] ? " emptied" : "", counts["WriteFile"] ? " written" : "", refused ? " refused" : "");
    if (controls += text; !Asks("DeviceIoControl", file)) return FALSE;
    return s.attributes &= ~(code == 0x900C4 ? Sparse : Compressed), TRUE;
  }
  std::chrono::steady_clock::time_point Now() const override {
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(static_cast<LONGLONG>(seconds * 1e9)));
  }
};

// The window's turns, for a copy without one: a flush is waited for, the question answered by the function.
modMain::Turns Asking(std::function<bool()> keepGoing) {
  return {.Serve = [](HANDLE ended) { ended && WaitForSingleObject(ended, INFINITE); }, .KeepGoing = std::move(keepGoing)};
}

class CopyImageTest : public testing::Test {
 protected:
  tests::TempFolder folder_;
  std::wstring input_ = folder_ / L"disc.nrg";
  std::wstring output_ = folder_ / L"disc.iso";
};

// Inputs of every size around the header and the chunks; every call that can fail, also without saying why;
// what the volume says; a stop at any chunk. Each with and without an old output of that name, which only a
// copy that goes ahead empties. The question whether to go on comes after every read, the last, empty one too.
TEST_F(CopyImageTest, CopiesEveryByteAfterTheHeaderOrEndsWithACodeAndKeepsWhatWasWritten) {
  const auto old = PatternBytes(5000, 7);
  constexpr LONGLONG GiB4 = 1ll << 32;
  constexpr ULONGLONG Image = 4 * Chunk;
  using enum CopyEnding;
  // The bytes on the disk (all of the image data), the reads made, the input's size.
  const struct Case {
    const char* what; Script script; CopyEnding ending; DWORD code = 0;
    std::size_t written = SIZE_MAX; int reads = 5; std::size_t input = Header + 4 * Chunk;
  } cases[] = {
      {"no input data", {}, Copied, 0, SIZE_MAX, 1, 0},
      {"a byte short of the header", {}, Copied, 0, SIZE_MAX, 1, Header - 1},
      {"the header alone", {}, Copied, 0, SIZE_MAX, 1, Header},
      {"a byte of image", {}, Copied, 0, SIZE_MAX, 2, Header + 1},
      {"a byte short of a chunk", {}, Copied, 0, SIZE_MAX, 2, Header + Chunk - 1},
      {"a chunk", {}, Copied, 0, SIZE_MAX, 2, Header + Chunk},
      {"a byte over a chunk", {}, Copied, 0, SIZE_MAX, 3, Header + Chunk + 1},
      {"three chunks and a bit", {}, Copied, 0, SIZE_MAX, 5, Header + 3 * Chunk + 17},
      {"input not opened", {.failing = "CreateFile"}, InputOpenFailed, 31, 0, 0},
      {"output not opened", {.failing = "CreateFile", .nth = 2}, OutputOpenFailed, 31, 0, 0},
      {"seek fails", {.failing = "SetFilePointerEx"}, ReadFailed, 31, 0, 0},
      {"emptying fails", {.failing = "SetEndOfFile", .code = ERROR_ACCESS_DENIED}, WriteFailed, 5, 0, 0},
      {"third read fails", {.failing = "ReadFile", .nth = 3, .code = ERROR_CRC}, ReadFailed, 23, 2 * Chunk, 3},
      {"a read says nothing", {.failing = "ReadFile"}, ReadFailed, 31, 0, 1},
      {"disk full", {.failing = "WriteFile", .nth = 2, .code = ERROR_DISK_FULL}, WriteFailed, 112, Chunk, 2},
      {"a write says nothing", {.failing = "WriteFile", .nth = 2}, WriteFailed, 31, Chunk, 2},
      {"a write takes nothing and says nothing", {.emptyWrite = 2}, WriteFailed, 29, Chunk, 2},
      {"a short write is finished", {.shortWrite = 2}, Copied},
      {"the flush fails", {.failing = "FlushFileBuffers", .code = ERROR_IO_DEVICE}, WriteFailed, 1117},
      {"the flush says nothing", {.failing = "FlushFileBuffers"}, WriteFailed, 31},
      {"stopped after the second chunk", {.stopAtAsk = 2}, Stopped, 0, 2 * Chunk, 2},
      {"stopped at the empty read", {.stopAtAsk = 5}, Stopped},
      // The volume, asked before any read; the input's size is told, the bytes copied are the image's.
      {"FAT32, 4 GiB", {.inputSize = Header + GiB4, .fileSystem = L"FAT32"}, WriteFailed, 223, 0, 0},
      {"FAT, 4 GiB", {.inputSize = Header + GiB4, .fileSystem = L"FAT"}, WriteFailed, 223, 0, 0},
      {"FAT32, 4 GiB less a byte", {.inputSize = Header + GiB4 - 1, .fileSystem = L"FAT32"}, Copied},
      {"exFAT, 5 GiB", {.inputSize = Header + 5 * GiB4 / 4, .fileSystem = L"exFAT"}, Copied},
      {"a byte too little room", {.freeBytes = Image - 1, .cluster = 1}, WriteFailed, 112, 0, 0},
      {"just enough room", {.freeBytes = Image, .cluster = 1}, Copied},
      {"a cluster too little room", {.inputSize = Header + 10000, .freeBytes = 12287}, WriteFailed, 112, 0, 0},
      {"just enough clusters", {.inputSize = Header + 10000, .freeBytes = 12288}, Copied},
      {"the old file's room is free", {.freeBytes = Image - 4096, .replaced = 4096}, Copied},
      // What the volume cannot tell does not stop the copy: a failing write would say why.
      {"size unknown", {.failing = "GetFileSizeEx", .fileSystem = L"FAT32", .freeBytes = 0}, Copied},
      {"file system unknown", {.failing = "GetFileSystemName", .inputSize = Header + GiB4}, Copied},
      {"room unknown", {.failing = "GetVolumeSpace", .freeBytes = 0}, Copied},
      {"the file unknown", {.failing = "GetFileInformationByHandleEx", .freeBytes = 0}, Copied},
  };
  for (const bool existing : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (existing ? ", over an old file" : ""));
      const auto image = PatternBytes(c.input, static_cast<std::uint32_t>(c.input));
      WriteBytes(input_, image);
      if (existing) WriteBytes(output_, old);
      const ScriptedCalls calls(c.script);
      int asks = 0;
      const auto outcome = modMain::CopyImage(input_, output_, Asking([&] { return ++asks != c.script.stopAtAsk; }), calls);
      EXPECT_EQ(outcome.Ending, c.ending);
      EXPECT_EQ(outcome.ErrorCode, c.code);
      EXPECT_EQ(ReadBytes(output_), existing && c.reads == 0 ? old : Tail(image, c.written));
      EXPECT_EQ(calls.counts["ReadFile"], c.reads);
      EXPECT_TRUE(c.ending != Copied || asks == c.reads + 1) << "asked after every read, the last, empty one too, and the flush";
      EXPECT_TRUE(c.ending != Copied || calls.flushed == std::vector<ULONGLONG>{Tail(image).size()}) << "flushed once";
      // Both closed, neither held with its sharing rules; the output made only where the input could be opened.
      EXPECT_TRUE(win32::UniqueFile(CreateFileW(input_.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, 0)));
      const bool made = existing || (c.ending != InputOpenFailed && c.ending != OutputOpenFailed);
      EXPECT_EQ(DeleteFileW(output_.c_str()) != FALSE, made);
    }
  }
}

// Each flush short, on slow disks, fast ones, and one whose own cache runs out: the cache holds little, and the
// outcome follows the last byte soon.
TEST_F(CopyImageTest, FlushesInStepsThatFollowTheDiskSoThatNoFlushTakesASecond) {
  constexpr double MiB = 1 << 20;
  // The disk's rate; the first steps in KiB and how many; the flush that fails, with 1117, leaving 5 MiB unflushed;
  // how much of the image the disk's own cache takes at once.
  const struct {
    const char* what; double rate; std::wstring firstSteps; std::size_t flushes; int failingFlush = 0; ULONGLONG instant = 0;
  } disks[] = {
      {"an SD card, 768 KiB/s", 0.75 * MiB, L"512 256 256", 8192},  // a quarter second's worth is less: the floor
      {"an old USB stick, 1 MiB/s", MiB, L"512 256 256", 8192},
      {"a USB stick, 3 MiB/s", 3 * MiB, L"512 768 768", 2732},
      {"a USB stick, 20 MiB/s", 20 * MiB, L"512 2048 5120 5120", 412},
      {"an SSD, 2 GB/s", 2e9, L"512 2048 8192 32768 65536 65536", 36},
      {"an SSD whose cache runs out after 1 GiB, 100 MiB/s", 100 * MiB, L"512 2048 8192 32768 65536", 59, 0, 1 << 30},
      {"a flush on the way fails", 20 * MiB, L"512 2048", 2, 3},
  };
  for (const auto& disk : disks) {
    SCOPED_TRACE(disk.what);
    WriteBytes(input_, PatternBytes(Header));
    const ScriptedCalls calls({.failing = "FlushFileBuffers", .nth = disk.failingFlush, .code = ERROR_IO_DEVICE,
                               .fakeImage = 2048ull << 20, .instant = disk.instant, .drainRate = disk.rate});
    const auto outcome = modMain::CopyImage(input_, output_, Asking([] { return true; }), calls);
    EXPECT_EQ(outcome.ErrorCode, disk.failingFlush ? 1117u : 0u);
    std::wstring steps;
    for (std::size_t i = 0; i < calls.flushed.size() && steps.size() < disk.firstSteps.size(); ++i)
      steps += (i ? L" " : L"") + std::to_wstring(calls.flushed[i] >> 10);
    EXPECT_EQ(steps, disk.firstSteps);
    EXPECT_EQ(calls.flushed.size(), disk.flushes);
    EXPECT_LT(calls.longest, 1.0) << "seconds";
    EXPECT_EQ(calls.unflushed, disk.failingFlush ? 5u << 20 : 0u) << "all on the disk, once copied";
  }
}

// A flush waits on a thread of its own while the window is served: a message that comes is served, a stop request
// prompted. A stop ends the copy once the flush has returned, before the files are closed; going on, the flush's
// failure is told. Each flush here is the final one, held until the test releases it.
TEST_F(CopyImageTest, AFlushLeavesTheWindowServedAndAStopWaitsForIt) {
  const std::wstring prompt = L"49 Прервать конвертацию?\r\n\r\nISO файл, скорее всего, будет неполным и непригодным к "
                              L"использованию. Вы можете удалить его самостоятельно.";
  const struct { const char* what; int answer; std::vector<std::wstring> boxes; DWORD fails = 0; } cases[] = {
      {"stopped", IDOK, {prompt}},
      {"gone on", IDCANCEL, {prompt, L"64 NRG файл сконвертирован успешно ^_^v"}},
      {"gone on, the flush fails", IDCANCEL, {prompt, L"16 Не удаётся записать в ISO файл.\r\n\r\n" + tests::SystemText(1117)}, 1117},
  };
  const win32::UniqueHandle<win32::NullEmptyTraits<HANDLE, ::CloseHandle>> release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  // WM_APP 1, from the held flush, asks to stop; WM_APP 2, posted while the prompt is shown, releases the flush.
  const auto pump = forms::EventPumpSeam.Replace([&] {
    for (MSG msg; PeekMessageW(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE);)
      msg.wParam == 1 ? void(modMain::CancelRequested = true) : void(SetEvent(release.Get()));
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    tests::MessageBoxRecorder boxes;
    boxes.AnswerWith(c.answer);
    WriteBytes(input_, tests::DiscImage(Header + Chunk, 32));
    ResetEvent(release.Get());
    const ScriptedCalls calls({.failing = c.fails ? "FlushFileBuffers" : "", .code = c.fails, .release = release.Get()});
    boxes.WhileShown = [&](const forms::MessageBoxRequest& box) {
      EXPECT_TRUE(box.Style != 49 || !calls.flushReturned) << "prompted during the flush";
      if (box.Style == 49) PostThreadMessageW(GetCurrentThreadId(), WM_APP, 2, 0);  // none left for the next case
    };
    modMain::ConvertImage(input_, output_, calls);
    EXPECT_TRUE(calls.flushReturned && calls.waited == WAIT_OBJECT_0) << "returned after the flush, which the pump released";
    SetEvent(release.Get());  // where it was not
    std::vector<std::wstring> told;
    for (const auto& box : boxes.Boxes()) told.push_back(std::to_wstring(box.Style) + L" " + box.Text);
    EXPECT_EQ(told, c.boxes);
    EXPECT_EQ(ReadBytes(output_), Tail(tests::DiscImage(Header + Chunk, 32)));
  }
}

// Once the copy goes ahead, the ISO file is made neither sparse nor compressed (the emptied file: nothing to
// rewrite); what stays, encryption included, is read back and told after the warnings about the image itself.
TEST_F(CopyImageTest, WhatWindowsWouldNotMountIsClearedBeforeTheFirstWriteAndWhatStaysIsWarnedOf) {
  const std::wstring stored = L"48 Что-то пошло не так! NRG файл сконвертирован, но ISO файл сохранён сжатым, "
      L"разреженным или зашифрованным, и Windows не сможет его подключить. Сохраните его в папку без сжатия и шифрования.";
  const auto notOpened = [](DWORD code) { return L"16 Не удаётся открыть ISO файл.\r\n\r\n" + tests::SystemText(code); };
  const std::wstring cutShort = L"48 Что-то пошло не так! NRG файл сконвертирован, но ISO файл меньше, чем указано в его "
                                L"файловой системе. Скорее всего, NRG файл неполный.";
  const char* both = "900C4 00 emptied; 9C040 0000 emptied; ";  // each control code, its input, after the emptying
  // The output's third opening and third question are the read-back's; the volume is the image's own, in sectors.
  const struct {
    const char* what; Script script; std::wstring box; const char* controls = ""; std::uint32_t volume = 32;
    std::size_t image = Chunk;  // after the header
  } cases[] = {
      {"both cleared", {.attributes = Sparse | Compressed}, L"64 NRG файл сконвертирован успешно ^_^v", both},
      {"sparse refused", {.failing = "DeviceIoControl", .attributes = Sparse | Compressed}, stored, both},
      {"sparse alone", {.attributes = Sparse}, L"64 NRG файл сконвертирован успешно ^_^v", "900C4 00 emptied; "},
      {"compression refused", {.failing = "DeviceIoControl", .attributes = Compressed}, stored, "9C040 0000 emptied; "},
      // The old file gives back the room it takes, half its size; the image needs its full size, compressed or not.
      {"no room", {.freeBytes = Chunk - 8192, .attributes = Sparse | Compressed, .replaced = 8192},
       L"16 Не удаётся записать в ISO файл.\r\n\r\n" + tests::SystemText(112)},
      {"encrypted", {.attributes = FILE_ATTRIBUTE_ENCRYPTED}, stored},
      {"encrypted, and cut short", {.attributes = FILE_ATTRIBUTE_ENCRYPTED}, cutShort, "", 33},
      {"read back 64 bytes a call", {.trickle = true}, cutShort, "", 33},
      {"encrypted, and more than the file system", {.attributes = FILE_ATTRIBUTE_ENCRYPTED}, stored, "", 32, 2 << 20},
      {"not opened", {.failing = "CreateFile", .nth = 3, .code = 32}, notOpened(32)},
      {"not read", {.failing = "GetFileInformationByHandleEx", .nth = 3, .code = 5}, notOpened(5)},
      {"its file system not read", {.failing = "ReadFile", .nth = 3, .code = 23}, notOpened(23)},
  };
  tests::MessageBoxRecorder boxes;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteBytes(input_, tests::DiscImage(Header + c.image, c.volume));
    const ScriptedCalls calls(c.script);
    modMain::ConvertImage(input_, output_, calls);
    EXPECT_EQ(std::to_wstring(boxes.Boxes().back().Style) + L" " + boxes.Boxes().back().Text, c.box);
    EXPECT_EQ(calls.controls, c.controls);
  }
  EXPECT_EQ(boxes.Boxes().size(), std::size(cases)) << "one box each";
}

TEST(LongPathTest, TheFileCallsGetTheExtendedFormExactlyWhenTheFullPathPassesTheClassicLimitAndACopyThereWorks) {
  tests::TempFolder folder;
  const std::wstring here = std::filesystem::current_path().wstring();
  const std::wstring d100(100, L'd'), deep = d100 + L"\\" + d100 + L"\\";
  const std::wstring name54(54, L'n'), name55(55, L'n');  // with C:\ and deep: 259 and 260 characters
  const struct { std::wstring typed, expected; } cases[] = {
      {L"disc.nrg", L"disc.nrg"},  // relative and short: as typed
      {L"\"C:\\Images\\disc.nrg\"", L"C:\\Images\\disc.nrg"},
      {L"C:\\" + deep + name54, L"C:\\" + deep + name54},
      {L"\"C:\\" + deep + name55 + L"\"", L"\\\\?\\C:\\" + deep + name55},
      {L"C:/Images/../" + deep + name55, L"\\\\?\\C:\\" + deep + name55},  // taken literally: resolved first
      {L"sub\\..\\" + deep + name55, L"\\\\?\\" + here + L"\\" + deep + name55},
      {L"\\\\server\\share\\" + deep + name55, L"\\\\?\\UNC\\server\\share\\" + deep + name55},
      {L"\\\\?\\C:\\disc.nrg", L"\\\\?\\C:\\disc.nrg"},
  };
  tests::MessageBoxRecorder boxes;
  for (const auto& [typed, expected] : cases) {
    SCOPED_TRACE(testing::PrintToString(typed.substr(0, 40)));
    // The input opens as the null device, the output is refused.
    const ScriptedCalls calls({.failing = "CreateFile", .nth = 2, .code = ERROR_ACCESS_DENIED, .openAs = L"NUL"});
    modMain::ConvertImage(typed, typed, calls);
    EXPECT_EQ(calls.names, (std::vector<std::wstring>{expected, expected}));
  }
  EXPECT_EQ(boxes.Boxes().size(), std::size(cases)) << "each: the ISO file cannot be opened";

  // A real conversion in a folder past the limit: the copy, the size check and the file system read back.
  // Made, written, read back and removed here through the extended form: Windows refuses the plain name past 260.
  const std::wstring outer = L"\\\\?\\" + folder / std::wstring(120, L'д'), inner = outer + L"\\" + std::wstring(150, L'e');
  for (const std::wstring& made : {outer, inner}) CreateDirectoryW(made.c_str(), nullptr);
  const std::wstring input = inner + L"\\диск.nrg", output = inner + L"\\диск.iso";
  ASSERT_GT(output.size(), 304u);
  const auto image = tests::DiscImage(307200 + 70000, 34);
  WriteBytes(input, image);
  modMain::ConvertImage(input.substr(4), output.substr(4));  // as the user names them
  EXPECT_EQ(boxes.Boxes().back().Text, L"NRG файл сконвертирован успешно ^_^v");
  EXPECT_EQ(ReadBytes(output), Tail(image));
  for (const std::wstring& made : {input, output, inner, outer}) DeleteFileW(made.c_str()) || RemoveDirectoryW(made.c_str());
}

// The system's own answers, for files opened as the copy opens them: a size past 4 GiB, the volume.
TEST(RealFileCallsTest, AnswerAsTheVolumeDoesAlsoWhereTheHandleCannotNameItsFolder) {
  tests::TempFolder folder;
  const std::wstring name = folder / L"disc.iso";
  const modMain::FileCalls calls;
  const win32::UniqueFile file(calls.CreateFile(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS));
  DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
  // Made sparse first where the file system allows, so that its size takes no room on the disk.
  DeviceIoControl(file.Get(), FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &bytes, nullptr);
  ASSERT_TRUE(calls.SetFilePointerEx(file.Get(), 5368709121, FILE_BEGIN) && calls.SetEndOfFile(file.Get()));
  FILE_STANDARD_INFO standard{};
  EXPECT_TRUE(calls.GetFileInformationByHandleEx(file.Get(), FileStandardInfo, &standard, sizeof standard));
  EXPECT_EQ(std::to_wstring(standard.EndOfFile.QuadPart) + L" " + std::to_wstring(support::ksGetFileSizeEx(name)),
            L"5368709121 5368709121.000000");
  wchar_t root[MAX_PATH], fileSystem[MAX_PATH];
  ASSERT_TRUE(GetVolumePathNameW(name.c_str(), root, MAX_PATH) &&
              GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystem, MAX_PATH) &&
              GetDiskFreeSpaceW(root, &sectors, &bytes, &freeClusters, &clusters));
  std::wstring told = L"nothing";
  EXPECT_EQ(calls.GetFileSystemName(file.Get(), &told) ? told : L"a failure", fileSystem);
  // The process's own pseudo-handle names no file: there the name the user gave tells the folder.
  for (const HANDLE handle : {file.Get(), GetCurrentProcess()}) {
    modMain::VolumeSpace space;
    ULARGE_INTEGER toCaller{};
    EXPECT_TRUE(calls.GetVolumeSpace(handle, name, &space) &&
                GetDiskFreeSpaceExW(folder.Path.c_str(), &toCaller, nullptr, nullptr));
    EXPECT_NEAR(space.FreeToCaller, toCaller.QuadPart, 16 << 20) << "others may write meanwhile";
    EXPECT_EQ(space.ClusterSize, ULONGLONG{sectors} * bytes);
  }
}

// A real small file system: scripts/test.sh mounts one and names its drive.
TEST(FullDiskTest, AnImageLargerThanTheFreeSpaceFailsAsAFullDiskBeforeAnyByteMoves) {
  const wchar_t* drive = _wgetenv(L"TESSALINE_SMALL_DISK");
  if (drive == nullptr || *drive == L'\0') { TESSALINE_SKIP("no small disk: scripts/test.sh mounts one"); }
  const std::wstring output = std::wstring(drive) + L"disc.iso";
  DeleteFileW(output.c_str());  // left by an earlier run on the same disk
  ULARGE_INTEGER room{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(drive, &room, nullptr, nullptr) && room.QuadPart < 16u << 20) << "no small disk";
  tests::TempFolder folder;
  WriteBytes(folder / L"disc.nrg", PatternBytes(Header + room.QuadPart + 1));
  tests::MessageBoxRecorder boxes;
  modMain::ConvertImage(folder / L"disc.nrg", output);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].Text, L"Не удаётся записать в ISO файл.\r\n\r\n" + tests::SystemText(112));
  EXPECT_EQ(std::filesystem::file_size(output), 0u) << "nothing copied";
}

}  // namespace
