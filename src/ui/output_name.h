#pragma once
#include <string>

namespace ui {

// The output name proposed for a chosen input: the same name with its
// extension, if any, replaced by "ISO" after exactly one dot
// (disc.nrg, disc.NRG, disc and disc. all give disc.ISO); quotes around the
// input name go.
std::wstring DeriveOutputName(const std::wstring& quotedName);

}  // namespace ui
