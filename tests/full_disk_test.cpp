// A full disk: the rest of a short chunk is written again, and the refusal is
// told with the system's own reason.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "conversion/convert_image.h"
#include "message_box_recorder.h"
#include "temp_files.h"

namespace {

constexpr std::size_t Header = 307200;

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
  const auto image = tests::PatternBytes(Header + room.QuadPart + 2 * 65536);
  tests::WriteBytes(folder / L"disc.nrg", image);

  tests::MessageBoxRecorder boxes;
  modMain::ConvertImage(folder / L"disc.nrg", output);
  wchar_t diskFull[256] = {};  // the system's own words, "Disk full." under Wine
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 112, 0, diskFull, 256, nullptr);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].Text, L"Не удаётся записать в ISO файл.\r\n\r\n" +
                                       std::wstring(diskFull, wcscspn(diskFull, L"\r\n")) + L" (112)");
  const auto data = image.begin() + Header;
  EXPECT_EQ(tests::ReadBytes(output), std::vector(data, data + room.QuadPart)) << "every byte that fitted, in order";
}

}  // namespace
