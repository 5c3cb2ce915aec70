// Path chores on text and the output name derived from an input name.
#include <gtest/gtest.h>

#include <string>

#include "support/support_functions.h"
#include "harness.h"
#include "ui/output_name.h"

namespace {

struct PathCase {
  const wchar_t* FileName;
  const wchar_t* Folder;
  const wchar_t* Extension;
};

TEST(FilePathTest, FolderAndExtensionOfEveryKindOfName) {
  const PathCase cases[] = {
      {L"D:\\Images\\disc.nrg", L"D:\\Images", L"nrg"},
      {L"disc.nrg", L"", L"nrg"},                               // no folder
      {L"D:\\Images\\disc", L"D:\\Images", L""},                // no extension
      {L"D:\\Images\\disc.tar.gz", L"D:\\Images", L"gz"},       // several dots
      {L"C:\\a.b\\disc", L"C:\\a.b", L""},                      // the dot is the folder's
      {L"C:\\a.b\\disc.", L"C:\\a.b", L""},                     // trailing dot
      {L"\\\\server\\share\\disc.nrg", L"\\\\server\\share", L"nrg"},
      {L"C:\\disc.nrg", L"C:\\", L"nrg"},                       // a drive root keeps its separator
      {L"C:/disc.nrg", L"C:/", L"nrg"},
      {L"\\disc.nrg", L"\\", L"nrg"},
      {L"/home/user/disc.NRG", L"/home/user", L"NRG"},
      {L"D:\\Images/sub\\disc.nrg", L"D:\\Images/sub", L"nrg"}, // both separators in one name
      {L"D:\\Images\\\\disc.nrg", L"D:\\Images", L"nrg"},       // doubled separator
      {L"D:\\Images\\", L"D:\\Images", L""},                    // a folder alone
      {L"C:disc.nrg", L"C:", L"nrg"},                           // drive-relative
      {L".nrg", L"", L"nrg"},
      {L"", L"", L""},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.FileName)));
    EXPECT_EQ(support::ksGetFilePath(c.FileName), c.Folder);
    EXPECT_EQ(support::ksGetFileExtension(c.FileName), c.Extension);
  }
}

TEST(FilePathTest, CutRightTakesCharactersFromTheEndAndNeverMore) {
  EXPECT_EQ(support::ksCutRight(L"disc.nrg", 3), L"disc.");
  EXPECT_EQ(support::ksCutRight(L"образ.nrg", 4), L"образ") << "characters, not bytes";
  EXPECT_EQ(support::ksCutRight(L"disc", 0), L"disc");
  EXPECT_EQ(support::ksCutRight(L"disc", -2), L"disc");
  EXPECT_EQ(support::ksCutRight(L"disc", 4), L"");
  EXPECT_EQ(support::ksCutRight(L"disc", 5), L"");
  EXPECT_EQ(support::ksCutRight(L"", 1), L"");
}

TEST(OutputNameTest, ExtensionOfAnyKindBecomesOneDotAndISO) {
  const std::pair<const wchar_t*, const wchar_t*> cases[] = {
      {L"D:\\Images\\disc.nrg", L"D:\\Images\\disc.ISO"},
      {L"disc.NRG", L"disc.ISO"},
      {L"disc.image", L"disc.ISO"},
      {L"disc.ISO", L"disc.ISO"},
      {L"disc", L"disc.ISO"},
      {L"disc.", L"disc.ISO"},
      {L"disc..", L"disc.ISO"},
      {L"disc.tar.gz", L"disc.tar.ISO"},
      {L"C:\\a.b\\disc", L"C:\\a.b\\disc.ISO"},
      {L"\\\\server\\share\\образ диска.nrg", L"\\\\server\\share\\образ диска.ISO"},
  };
  for (const auto& [input, output] : cases) {
    EXPECT_EQ(ui::DeriveOutputName(input), output) << testing::PrintToString(std::wstring(input));
  }
}

}  // namespace
