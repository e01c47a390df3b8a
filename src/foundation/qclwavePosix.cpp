// Natively nothing plays, so there is nothing to stop.
#include "foundation/qclwave.h"

namespace treskel {

void QclStopSound() {}

}  // namespace treskel
