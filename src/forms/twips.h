#pragma once
#include <windows.h>

namespace forms {

inline constexpr int TwipsPerInch = 1440;

// Position and size in twips, relative to the client area's top-left corner.
struct TwipsRect {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

// Twips to pixels at the given dots per inch, rounded to the nearest pixel.
inline int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, TwipsPerInch); }

// Edges are converted one by one, so that neighbouring controls keep their
// gaps at any scaling.
inline RECT TwipsToPixels(const TwipsRect& rect, int dpi) {
  return RECT{TwipsToPixels(rect.Left, dpi), TwipsToPixels(rect.Top, dpi), TwipsToPixels(rect.Left + rect.Width, dpi),
              TwipsToPixels(rect.Top + rect.Height, dpi)};
}

}  // namespace forms
