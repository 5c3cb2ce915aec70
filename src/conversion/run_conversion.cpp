#include "conversion/run_conversion.h"

#include <utility>

#include "conversion/convert_image.h"
#include "conversion/run_flags.h"
#include "forms/mouse_pointer.h"

namespace modMain {

void RunConversion(std::wstring inFileName, std::wstring outFileName) {
  IsConverting = support::True;
  forms::SetMousePointer(forms::MousePointer::Hourglass);
  ConvertImage(std::move(inFileName), std::move(outFileName));
  forms::SetMousePointer(forms::MousePointer::Default);
  IsConverting = support::False;
}

}  // namespace modMain
