#pragma once
#include <windows.h>

#include <string>

#include "win32/unique_handle.h"

namespace forms {

struct FontDescription {
  std::wstring Name = L"Tahoma";
  int Points = 9;
  int Weight = FW_NORMAL;
  BYTE CharSet = DEFAULT_CHARSET;
};

// The font at the given dots per inch.
win32::UniqueHFont CreateFormFont(const FontDescription& font, int dpi);

// The height of a line of text in the font, ascent and descent, in pixels; 0 if it cannot be measured.
int TextCellHeight(HFONT font);

}  // namespace forms
