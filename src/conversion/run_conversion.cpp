#include "conversion/run_conversion.h"

#include <utility>

#include "conversion/convert_image.h"
#include "conversion/run_flags.h"
#include "forms/form.h"
#include "forms/mouse_pointer.h"
#include "win32/shutdown_block.h"

namespace modMain {
namespace {

// The busy state of one conversion, undone on every way out: the flag and the hourglass.
class Busy {
 public:
  Busy() {
    IsConverting = true;
    forms::SetMousePointer(forms::MousePointer::Hourglass);
  }
  ~Busy() {
    forms::SetMousePointer(forms::MousePointer::Default);
    IsConverting = false;
  }
  Busy(const Busy&) = delete;
  Busy& operator=(const Busy&) = delete;
};

}  // namespace

void RunConversion(std::wstring inFileName, std::wstring outFileName) {
  const Busy busy;
  // The window refuses a shutdown while busy, the outcome's box included: Windows shows why.
  const win32::ShutdownBlockReason reason(forms::MainWindow(), L"Идёт конвертация NRG файла в ISO файл.");
  ConvertImage(std::move(inFileName), std::move(outFileName));
}

}  // namespace modMain
