// The process's sound, stopped whenever wave data are replaced or freed.
#include <windows.h>
#include <mmsystem.h>

#include "foundation/qclwave.h"

namespace treskel {

void QclStopSound() { sndPlaySoundA(nullptr, SND_MEMORY); }

}  // namespace treskel
