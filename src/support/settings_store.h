#pragma once
#include <string>

#include "forms/application.h"
#include "support/flag.h"
#include "support/variant.h"

namespace support {

// Text values that outlive the program, per user and per application: under
// HKEY_CURRENT_USER\<app.SettingsRoot>\<section>, one REG_SZ value per key.
// The reserved number (0) and flag (True) are accepted and ignored.
class SettingsStore {
 public:
  // The stored text, or the default when there is none that can be read as
  // text: no key, no value, another type, or more than a path's length.
  // status becomes True for a stored value, False for the default.
  Variant ReadValue(const std::wstring& section, const std::wstring& key, long reserved,
                    const forms::Application& app, const Variant& defaultValue, Flag reservedFlag,
                    Flag& status) const;

  // Stores the value's text, creating the section as needed; throws
  // support::Failure when the registry refuses. status becomes True.
  void WriteValue(const std::wstring& section, const std::wstring& key, long reserved, const Variant& value,
                  const forms::Application& app, Flag reservedFlag, Flag& status) const;
};

}  // namespace support
