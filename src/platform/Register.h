// Registration of the class library's classes for layouts.
#pragma once

namespace treskel {

void RegisterGraphicsClasses();
void RegisterControlClasses();
void RegisterFormClasses();
void RegisterActionClasses();
void RegisterMenuClasses();
void RegisterStdControlClasses();

// All of the above, once.
void RegisterPlatformClasses();

}  // namespace treskel
