// Registers every class of the program for its layouts.
#pragma once

namespace treskel {

void RegisterAllClasses();

}  // namespace treskel
