#include "app/RegisterAll.h"

#include "app/frmMain.h"
#include "foundation/qclclass.h"
#include "platform/Register.h"

namespace treskel {

void RegisterAllClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterPlatformClasses();
    RegisterFoundationClasses();
    RegisterMainFormClasses();
}

}  // namespace treskel
