#pragma once
#include <string>

#include "forms/application.h"

// Text values that outlive the program, per user and per application: under
// HKEY_CURRENT_USER\<app.SettingsRoot>\<section>, one REG_SZ value per key.
namespace support::SettingsStore {

// The stored text, or the default when nothing readable as text is stored.
std::wstring ReadValue(const std::wstring& section, const std::wstring& key, const forms::Application& app,
                       const std::wstring& defaultValue);

// Stores the text, creating the section as needed. A value is a convenience:
// one that the registry refuses to store is skipped, and false says so.
bool WriteValue(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                const forms::Application& app);

}  // namespace support::SettingsStore
