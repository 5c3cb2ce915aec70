#include "support/settings_store.h"

#include "win32/registry.h"

namespace support::SettingsStore {
namespace {

std::wstring SectionKey(const forms::Application& app, const std::wstring& section) {
  return app.SettingsRoot + L"\\" + section;
}

}  // namespace

std::wstring ReadValue(const std::wstring& section, const std::wstring& key, const forms::Application& app,
                       const std::wstring& defaultValue) {
  return win32::ReadUserString(SectionKey(app, section), key.c_str()).value_or(defaultValue);
}

bool WriteValue(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                const forms::Application& app) {
  return win32::WriteUserString(SectionKey(app, section), key.c_str(), value) == ERROR_SUCCESS;
}

}  // namespace support::SettingsStore
