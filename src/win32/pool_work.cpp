#include "win32/pool_work.h"

#include "win32/failure.h"

namespace win32 {

PoolWork::PoolWork(std::function<void()> work)
    : work_(std::move(work)), pooled_(ThrowIfNull(CreateThreadpoolWork(Run, this, nullptr), "CreateThreadpoolWork")) {
  SubmitThreadpoolWork(pooled_);
}

PoolWork::~PoolWork() {
  WaitForThreadpoolWorkCallbacks(pooled_, FALSE);
  CloseThreadpoolWork(pooled_);
}

void CALLBACK PoolWork::Run(PTP_CALLBACK_INSTANCE /*instance*/, void* self, PTP_WORK /*work*/) {
  static_cast<PoolWork*>(self)->work_();
}

}  // namespace win32
