#pragma once
#include <windows.h>

#include <cstdint>

namespace forms {

// A colour as the toolkit takes it: an RGB value, or 0x80000000 plus a
// system colour index.
using OleColor = std::uint32_t;

inline constexpr OleColor ButtonFaceColor = 0x8000000F;
inline constexpr OleColor WindowBackgroundColor = 0x80000005;
inline constexpr OleColor WindowTextColor = 0x80000008;

constexpr bool IsSystemColor(OleColor color) { return (color & 0x80000000u) != 0; }
constexpr int SystemColorIndex(OleColor color) { return static_cast<int>(color & 0xFFu); }

COLORREF ToColorRef(OleColor color);

// A brush for the colour. System colours use the system's shared brushes,
// which are never deleted; other colours get one brush that the caller owns.
class ColorBrush {
 public:
  ColorBrush() = default;
  explicit ColorBrush(OleColor color);
  ColorBrush(const ColorBrush&) = delete;
  ColorBrush& operator=(const ColorBrush&) = delete;
  ColorBrush(ColorBrush&& other) noexcept;
  ColorBrush& operator=(ColorBrush&& other) noexcept;
  ~ColorBrush();

  HBRUSH Get() const noexcept { return brush_; }

 private:
  HBRUSH brush_ = nullptr;
  bool owned_ = false;
};

}  // namespace forms
