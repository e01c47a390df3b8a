// What the common-control files share and nobody else needs.
#pragma once

#include <windows.h>

namespace treskel::comctl {

// Registers the system's window classes of the common controls once.
void InitClasses();

}  // namespace treskel::comctl
