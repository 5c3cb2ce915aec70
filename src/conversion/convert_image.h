#pragma once
#include <string>

namespace modMain {

// Bytes skipped at the start of an NRG image; also the expected difference
// between the input and output sizes.
inline constexpr unsigned long HeaderSize = 307200;
// Bytes requested by each read.
inline constexpr unsigned long ChunkSize = 65536;

// Copies the input from HeaderSize to its end into the output, then tells the
// user the outcome. Every failure is reported here; nothing is returned.
void ConvertImage(std::wstring inFileName, std::wstring outFileName);

}  // namespace modMain
