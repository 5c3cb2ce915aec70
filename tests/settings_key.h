#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace tests {

// Points the application's settings at a registry key of the test's own
// while it lives; then deletes that key and restores the program's.
class TestSettingsRoot {
 public:
  TestSettingsRoot();
  ~TestSettingsRoot();
  TestSettingsRoot(const TestSettingsRoot&) = delete;
  TestSettingsRoot& operator=(const TestSettingsRoot&) = delete;

  // Read straight from the registry, past the settings store.
  std::optional<std::wstring> StoredText(const std::wstring& key) const;
  std::wstring Section() const { return root_ + L"\\Paths"; }

 private:
  std::wstring previous_;
  std::wstring root_;
};

// A key under HKEY_CURRENT_USER whose access list grants only reading while
// it lives, as on a locked-down profile; deleted afterwards.
class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(std::wstring path);
  ~ReadOnlyKey();
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

 private:
  bool SetAccess(const wchar_t* sddl) const;
  std::wstring path_;
};

}  // namespace tests
