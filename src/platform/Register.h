// Registration of the class library's classes for layouts.
#pragma once

namespace treskel {

void RegisterGraphicsClasses();
void RegisterControlClasses();
void RegisterFormClasses();
void RegisterActionClasses();
void RegisterMenuClasses();
void RegisterStdControlClasses();
void RegisterStdLibClasses();  // memo, check box, panel, dialogs, ... (RegisterStdLib.cpp)

// All of the above, once.
void RegisterPlatformClasses();

}  // namespace treskel
