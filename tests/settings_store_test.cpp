#include "support/settings_store.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "forms/application.h"
#include "settings_key.h"
#include "support/failure.h"

namespace {

using support::Flag;
using support::Variant;

constexpr wchar_t Section[] = L"Paths";
constexpr wchar_t Key[] = L"Last Open NRG Path";
constexpr wchar_t ChildRootVariable[] = L"TESSALINE_TEST_SETTINGS_ROOT";

class SettingsStoreTest : public testing::Test {
 protected:
  // Reads with a default that no stored value equals.
  std::wstring Read(const std::wstring& key, Flag& status) const {
    status = support::False;
    return store_.ReadValue(Section, key, 0, forms::App(), Variant(L"<default>"), support::True, status).ToText();
  }
  void Write(const std::wstring& key, const std::wstring& text) const {
    Flag status = support::True;
    store_.WriteValue(Section, key, 0, Variant(text), forms::App(), support::True, status);
  }

  tests::TestSettingsRoot root_;
  support::SettingsStore store_;
};

TEST_F(SettingsStoreTest, WrittenTextComesBackAsTextIncludingCyrillic) {
  Flag status = support::False;
  for (const std::wstring text : {L"D:\\Images", L"C:\\Образы дисков\\Новые", L""}) {
    Write(Key, text);
    EXPECT_EQ(Read(Key, status), text);
    EXPECT_EQ(status, support::True);
  }
  EXPECT_EQ(root_.StoredText(Section, Key), L"") << "the last text, as a plain REG_SZ under the section";
  Write(L"Last Save ISO Path", L"E:\\ISO");
  EXPECT_EQ(Read(Key, status), L"") << "keys are independent";
}

TEST_F(SettingsStoreTest, NothingStoredGivesTheDefault) {
  Flag status = support::True;
  EXPECT_EQ(Read(Key, status), L"<default>") << "no section at all";
  EXPECT_EQ(status, support::False);
  EXPECT_FALSE(root_.SectionExists(Section)) << "reading creates nothing";

  Write(L"Last Save ISO Path", L"E:\\ISO");
  EXPECT_EQ(Read(Key, status), L"<default>") << "a section without the key";
  const Variant empty = store_.ReadValue(Section, Key, 0, forms::App(), Variant(), support::True, status);
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(empty.ToText(), L"");
}

TEST_F(SettingsStoreTest, ForeignDataUnderTheKeyGivesTheDefault) {
  Flag status = support::True;
  const DWORD number = 42;
  root_.StoreRaw(Section, Key, REG_DWORD, &number, sizeof number);
  EXPECT_EQ(Read(Key, status), L"<default>") << "REG_DWORD";

  const BYTE garbage[] = {0xFF, 0xFE, 0x00, 0xD8, 0x41};
  root_.StoreRaw(Section, Key, REG_BINARY, garbage, sizeof garbage);
  EXPECT_EQ(Read(Key, status), L"<default>") << "REG_BINARY";

  const wchar_t several[] = L"C:\\one\0C:\\two\0";
  root_.StoreRaw(Section, Key, REG_MULTI_SZ, several, sizeof several);
  EXPECT_EQ(Read(Key, status), L"<default>") << "REG_MULTI_SZ";

  const std::wstring huge(70000, L'x');
  root_.StoreRaw(Section, Key, REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() * sizeof(wchar_t)));
  EXPECT_EQ(Read(Key, status), L"<default>") << "longer than any path";
  EXPECT_EQ(status, support::False);
}

TEST_F(SettingsStoreTest, TextWrittenByOthersIsReadUpToItsTerminator) {
  Flag status = support::False;
  const wchar_t unterminated[] = {L'D', L':', L'\\', L'x'};
  root_.StoreRaw(Section, Key, REG_SZ, unterminated, sizeof unterminated);
  EXPECT_EQ(Read(Key, status), L"D:\\x");

  const wchar_t embedded[] = L"D:\\x\0tail";
  root_.StoreRaw(Section, Key, REG_SZ, embedded, sizeof embedded);
  EXPECT_EQ(Read(Key, status), L"D:\\x");
}

TEST_F(SettingsStoreTest, RefusedWriteThrows) {
  // The registry keeps no lasting key under one that dies with the session.
  HKEY volatileRoot = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, root_.Root().c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_READ,
                            nullptr, &volatileRoot, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileRoot);
  try {
    Write(Key, L"D:\\Images");
    ADD_FAILURE() << "no failure";
  } catch (const support::Failure& failure) {
    EXPECT_EQ(failure.Code(), static_cast<DWORD>(ERROR_CHILD_MUST_BE_VOLATILE));
  }
}

// Runs this test program again for SettingsStoreChild alone, pointed at the test's key; its report joins ours.
DWORD RunChildProcess(const std::wstring& root) {
  std::wstring self(MAX_PATH, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  std::wstring commandLine = L"\"" + self + L"\" --gtest_filter=SettingsStoreChild.* --gtest_color=no";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  SetEnvironmentVariableW(ChildRootVariable, root.c_str());
  const BOOL started = CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                      &startup, &process);
  SetEnvironmentVariableW(ChildRootVariable, nullptr);
  if (!started) return GetLastError();
  CloseHandle(process.hThread);
  DWORD exitCode = WAIT_TIMEOUT;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &exitCode);
  } else {
    TerminateProcess(process.hProcess, exitCode);
  }
  CloseHandle(process.hProcess);
  return exitCode;
}

TEST_F(SettingsStoreTest, AnotherProcessReadsWhatThisOneWrote) {
  Write(Key, L"C:\\Образы дисков");
  EXPECT_EQ(RunChildProcess(root_.Root()), 0u);
  EXPECT_EQ(root_.StoredText(Section, L"Echo"), L"C:\\Образы дисков");
}

// The other process of the test above: echoes the value it finds.
TEST(SettingsStoreChild, EchoesTheValueToTheParent) {
  const char* root = std::getenv("TESSALINE_TEST_SETTINGS_ROOT");
  if (root == nullptr) GTEST_SKIP() << "runs only as the other process of AnotherProcessReadsWhatThisOneWrote";
  std::wstring wideRoot(static_cast<std::size_t>(GetEnvironmentVariableW(ChildRootVariable, nullptr, 0)), L'\0');
  wideRoot.resize(GetEnvironmentVariableW(ChildRootVariable, wideRoot.data(), static_cast<DWORD>(wideRoot.size())));
  const std::wstring previous = std::exchange(forms::App().SettingsRoot, wideRoot);

  const support::SettingsStore store;
  Flag status = support::False;
  const Variant value = store.ReadValue(Section, Key, 0, forms::App(), Variant(), support::True, status);
  EXPECT_EQ(status, support::True);
  store.WriteValue(Section, L"Echo", 0, value, forms::App(), support::True, status);
  forms::App().SettingsRoot = previous;
}

}  // namespace
