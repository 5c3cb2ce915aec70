#include "forms/font.h"

#include "support/failure.h"

namespace forms {

support::UniqueHFont CreateFormFont(const FontDescription& font, int dpi) {
  LOGFONTW logFont{};
  logFont.lfHeight = -MulDiv(font.Points, dpi, 72);
  logFont.lfWeight = font.Weight;
  logFont.lfCharSet = font.CharSet;
  logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
  logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  logFont.lfQuality = DEFAULT_QUALITY;
  logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  font.Name.copy(logFont.lfFaceName, LF_FACESIZE - 1);
  return support::UniqueHFont(support::ThrowIfNull(CreateFontIndirectW(&logFont), "CreateFontIndirectW"));
}

}  // namespace forms
