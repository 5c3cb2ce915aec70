#include "support/settings_store.h"

#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include <string>
#include <utility>

#include "forms/application.h"
#include "settings_key.h"
#include "support/failure.h"
#include "support/unique_handle.h"

namespace {

using support::Variant;

constexpr wchar_t Section[] = L"Paths";
constexpr wchar_t Key[] = L"Last Open NRG Path";
constexpr wchar_t OtherKey[] = L"Last Save ISO Path";
constexpr wchar_t Default[] = L"<default>";  // no stored value equals it
constexpr wchar_t ChildRootVariable[] = L"TESSALINE_TEST_SETTINGS_ROOT";

class SettingsStoreTest : public testing::Test {
 protected:
  std::wstring Read(const Variant& defaultValue = Variant(Default)) {
    status_ = support::False;
    return store_.ReadValue(Section, Key, 0, forms::App(), defaultValue, support::True, status_).ToText();
  }
  void Write(const std::wstring& key, const std::wstring& text) {
    store_.WriteValue(Section, key, 0, Variant(text), forms::App(), support::True, status_);
  }

  tests::TestSettingsRoot root_;
  support::SettingsStore store_;
  support::Flag status_ = support::False;  // whether the last read found a value
};

TEST_F(SettingsStoreTest, WrittenTextComesBackAsTextIncludingCyrillic) {
  for (const std::wstring text : {L"D:\\Images", L"C:\\Образы дисков\\Новые", L""}) {
    Write(Key, text);
    EXPECT_EQ(Read(), text);
    EXPECT_EQ(status_, support::True);
  }
  EXPECT_EQ(root_.StoredText(Section, Key), L"") << "the last text, as a plain REG_SZ under the section";
  Write(OtherKey, L"E:\\ISO");
  EXPECT_EQ(Read(), L"") << "keys are independent";
}

TEST_F(SettingsStoreTest, NothingStoredGivesTheDefault) {
  EXPECT_EQ(Read(), Default) << "no section at all";
  EXPECT_EQ(status_, support::False);
  EXPECT_FALSE(root_.SectionExists(Section)) << "reading creates nothing";
  Write(OtherKey, L"E:\\ISO");
  EXPECT_EQ(Read(), Default) << "a section without the key";
  EXPECT_EQ(Read(Variant()), L"") << "an empty default reads as no text";
}

TEST_F(SettingsStoreTest, ForeignDataGivesTheDefaultAndOthersTextEndsAtItsTerminator) {
  const DWORD number = 42;
  const BYTE garbage[] = {0xFF, 0xFE, 0x00, 0xD8, 0x41};
  const wchar_t several[] = L"C:\\one\0C:\\two\0";
  const std::wstring huge(70000, L'x');
  const wchar_t unterminated[] = {L'D', L':', L'\\', L'x'};
  const wchar_t embedded[] = L"D:\\x\0tail";
  const struct {
    DWORD type;
    const void* data;
    DWORD size;
    const wchar_t* expected;
  } cases[] = {
      {REG_DWORD, &number, sizeof number, Default},
      {REG_BINARY, garbage, sizeof garbage, Default},
      {REG_MULTI_SZ, several, sizeof several, Default},
      {REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() * sizeof(wchar_t)), Default},  // longer than any path
      {REG_SZ, unterminated, sizeof unterminated, L"D:\\x"},
      {REG_SZ, embedded, sizeof embedded, L"D:\\x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.size << " bytes");
    root_.StoreRaw(Section, Key, c.type, c.data, c.size);
    EXPECT_EQ(Read(), c.expected);
    EXPECT_EQ(status_, c.expected == Default ? support::False : support::True);
  }
}

TEST_F(SettingsStoreTest, RefusedWriteThrows) {
  // The registry keeps no lasting key under one that dies with the session.
  support::UniqueHKey volatileRoot;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, root_.Root().c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_READ,
                            nullptr, volatileRoot.Put(), nullptr),
            ERROR_SUCCESS);
  try {
    Write(Key, L"D:\\Images");
    ADD_FAILURE() << "no failure";
  } catch (const support::Failure& failure) {
    EXPECT_EQ(failure.Code(), static_cast<DWORD>(ERROR_CHILD_MUST_BE_VOLATILE));
  }
}

TEST_F(SettingsStoreTest, AnotherProcessReadsWhatThisOneWrote) {
  Write(Key, L"C:\\Образы дисков");
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  // This program again, for SettingsStoreChild alone and pointed at this test's key; its report joins ours.
  SetEnvironmentVariableW(ChildRootVariable, root_.Root().c_str());
  const intptr_t exitCode =
      _wspawnl(_P_WAIT, self, L"tessaline_tests", L"--gtest_filter=SettingsStoreChild.*", L"--gtest_color=no", nullptr);
  SetEnvironmentVariableW(ChildRootVariable, nullptr);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(root_.StoredText(Section, L"Echo"), L"C:\\Образы дисков");
}

// The other process of the test above: echoes the value it finds.
TEST(SettingsStoreChild, EchoesTheValueToTheParent) {
  wchar_t root[512];
  if (GetEnvironmentVariableW(ChildRootVariable, root, 512) == 0) {
    GTEST_SKIP() << "runs only as the other process of AnotherProcessReadsWhatThisOneWrote";
  }
  const std::wstring previous = std::exchange(forms::App().SettingsRoot, root);
  const support::SettingsStore store;
  support::Flag status = support::False;
  const Variant value = store.ReadValue(Section, Key, 0, forms::App(), Variant(), support::True, status);
  EXPECT_EQ(status, support::True);
  store.WriteValue(Section, L"Echo", 0, value, forms::App(), support::True, status);
  forms::App().SettingsRoot = previous;
}

}  // namespace
