#pragma once
#include <optional>
#include <string>
#include <utility>

namespace support {

// The tagged value in which the settings store takes and gives values. The
// program only ever stores text, so a variant is empty or holds text.
class Variant {
 public:
  Variant() = default;
  explicit Variant(std::wstring text) : text_(std::move(text)) {}

  // An empty variant reads as empty text.
  std::wstring ToText() const { return text_.value_or(std::wstring()); }

 private:
  std::optional<std::wstring> text_;
};

}  // namespace support
