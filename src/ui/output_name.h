#pragma once
#include <string>

namespace ui {

// The output name proposed for a chosen input: its extension, if any, replaced
// by "ISO", or ".ISO" put after a name that has none. Dots of the name stay
// (disc.nrg, disc and disc. give disc.ISO; a..nrg gives a..ISO; disc.. gives
// disc..ISO); quotes around the input name go.
std::wstring DeriveOutputName(const std::wstring& quotedName);

}  // namespace ui
