#include "win32/shutdown_block.h"

namespace win32 {

Seam<ShutdownBlockCalls> ShutdownBlockSeam{{.Create = ::ShutdownBlockReasonCreate, .Destroy = ::ShutdownBlockReasonDestroy}};

}  // namespace win32
