#include "forms/font.h"

#include "win32/failure.h"

namespace forms {

win32::UniqueHFont CreateFormFont(const FontDescription& font, int dpi) {
  LOGFONTW logFont{};
  logFont.lfHeight = -MulDiv(font.Points, dpi, 72);
  logFont.lfWeight = font.Weight;
  logFont.lfCharSet = font.CharSet;
  logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
  logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  logFont.lfQuality = DEFAULT_QUALITY;
  logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  font.Name.copy(logFont.lfFaceName, LF_FACESIZE - 1);
  return win32::UniqueHFont(win32::ThrowIfNull(CreateFontIndirectW(&logFont), "CreateFontIndirectW"));
}

int TextCellHeight(HFONT font) {
  // Unmeasured, it is 0, and controls keep the size their twips give them.
  TEXTMETRICW metrics{};
  if (const HDC screen = GetDC(nullptr)) {
    const HGDIOBJ oldFont = SelectObject(screen, font);
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, oldFont);
    ReleaseDC(nullptr, screen);
  }
  return metrics.tmHeight;
}

}  // namespace forms
