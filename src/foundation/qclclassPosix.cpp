// Natively there is no system timer: pools tick only by hand.
#include "foundation/qclclass.h"

namespace treskel {

std::unique_ptr<TQclTickSource> QclMakeSystemTickSource(TQclTimerPool*) { return nullptr; }

}  // namespace treskel
