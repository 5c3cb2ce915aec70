// Writes that come up short: the rest of the chunk is written again, and a
// refusal is told with the system's own reason.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "conversion/convert_image.h"
#include "conversion/copy_image.h"
#include "message_box_recorder.h"
#include "temp_files.h"

namespace {

using modMain::ChunkSize;
using modMain::CopyEnding;
using modMain::HeaderSize;

// Each write takes at most so many bytes, as a disk or a pipe may.
struct ShortWrites : modMain::FileCalls {
  explicit ShortWrites(DWORD limit) : most(limit) {}
  BOOL WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) const override {
    return ::WriteFile(file, buffer, std::min(size, most), written, nullptr);
  }
  DWORD most;
};

TEST(FullDiskTest, AShortWriteGoesOnWithTheRestAndOneWithoutProgressIsAWriteFault) {
  tests::TempFolder folder;
  const auto image = tests::PatternBytes(HeaderSize + 2 * ChunkSize + 5);
  tests::WriteBytes(folder / L"disc.nrg", image);
  const std::vector<std::uint8_t> data(image.begin() + HeaderSize, image.end());
  const struct {
    DWORD most;
    CopyEnding ending;
    DWORD code;
    std::size_t written;
  } cases[] = {{1000, CopyEnding::Copied, 0, data.size()}, {0, CopyEnding::WriteFailed, 29, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.most);
    const auto outcome = modMain::CopyImage(folder / L"disc.nrg", folder / L"disc.iso", [] { return true; },
                                            ShortWrites(c.most));
    EXPECT_EQ(outcome.Ending, c.ending);
    EXPECT_EQ(outcome.ErrorCode, c.code);
    EXPECT_EQ(tests::ReadBytes(folder / L"disc.iso"), std::vector(data.begin(), data.begin() + c.written));
  }
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
  ASSERT_NE(room.QuadPart % ChunkSize, 0u) << "the last chunk that fits is to be written short";

  tests::TempFolder folder;
  const auto image = tests::PatternBytes(HeaderSize + room.QuadPart + 2 * ChunkSize);
  tests::WriteBytes(folder / L"disc.nrg", image);

  tests::MessageBoxRecorder boxes;
  modMain::ConvertImage(folder / L"disc.nrg", output);
  wchar_t diskFull[256] = {};  // the system's own words, "Disk full." under Wine
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 112, 0, diskFull, 256, nullptr);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].Text, L"Не удаётся записать в ISO файл.\r\n\r\n" +
                                       std::wstring(diskFull, wcscspn(diskFull, L"\r\n")) + L" (112)");
  const auto data = image.begin() + HeaderSize;
  EXPECT_EQ(tests::ReadBytes(output), std::vector(data, data + room.QuadPart)) << "every byte that fitted, in order";
}

}  // namespace
