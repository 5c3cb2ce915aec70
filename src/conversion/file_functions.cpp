#include "conversion/file_functions.h"

namespace modMain {

support::Seam<FileFunctions> FileFunctionsSeam{FileFunctions{}};

}  // namespace modMain
