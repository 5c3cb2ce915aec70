#include "forms/colors.h"

#include <utility>

#include "win32/failure.h"

namespace forms {

COLORREF ToColorRef(OleColor color) {
  return IsSystemColor(color) ? GetSysColor(SystemColorIndex(color)) : static_cast<COLORREF>(color);
}

ColorBrush::ColorBrush(OleColor color) {
  if (IsSystemColor(color)) {
    brush_ = win32::ThrowIfNull(GetSysColorBrush(SystemColorIndex(color)), "GetSysColorBrush");
  } else {
    brush_ = win32::ThrowIfNull(CreateSolidBrush(static_cast<COLORREF>(color)), "CreateSolidBrush");
    owned_ = true;
  }
}

ColorBrush::ColorBrush(ColorBrush&& other) noexcept
    : brush_(std::exchange(other.brush_, nullptr)), owned_(std::exchange(other.owned_, false)) {}

ColorBrush& ColorBrush::operator=(ColorBrush&& other) noexcept {
  if (this != &other) {
    if (owned_) DeleteObject(brush_);
    brush_ = std::exchange(other.brush_, nullptr);
    owned_ = std::exchange(other.owned_, false);
  }
  return *this;
}

ColorBrush::~ColorBrush() {
  if (owned_) DeleteObject(brush_);
}

}  // namespace forms
