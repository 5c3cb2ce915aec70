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

  const std::wstring& Root() const { return root_; }
  // Read and written straight in the registry, past the settings store.
  bool SectionExists(const std::wstring& section) const;
  std::optional<std::wstring> StoredText(const std::wstring& section, const std::wstring& key) const;
  void StoreRaw(const std::wstring& section, const std::wstring& key, DWORD type, const void* data, DWORD size) const;

 private:
  std::wstring previous_;
  std::wstring root_;
};

}  // namespace tests
