#include "app/RegisterAll.h"

#include "app/frmMain.h"
#include "foundation/qclclass.h"
#include "platform/Register.h"
#include "richedit/RichEdit2.h"

namespace treskel {

void RegisterAllClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterPlatformClasses();
    RegisterFoundationClasses();
    RegisterRichEditClasses();
    RegisterMainFormClasses();
}

}  // namespace treskel
