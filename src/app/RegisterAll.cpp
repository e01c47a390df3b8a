#include "app/RegisterAll.h"

#include "app/LinkInformation.h"
#include "app/SearchDialog.h"
#include "app/frmMain.h"
#include "compress/LH5Control.h"
#include "controls/qclbtnWin.h"
#include "controls/qclextcS.h"
#include "foundation/qclclass.h"
#include "foundation/qclgraph.h"
#include "platform/Register.h"
#include "preview/PrevPrinter.h"
#include "richedit/RichEdit2.h"
#include "winutil/WuCtrls.h"

namespace treskel {

void RegisterAllClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterPlatformClasses();
    RegisterFoundationClasses();
    RegisterFoundationDrawingClasses();
    RegisterExtComboClasses();
    RegisterWinUtilControlClasses();
    RegisterQclControlClasses();
    RegisterCompressClasses();
    RegisterRichEditClasses();
    RegisterMainFormClasses();
    RegisterSearchDialogClasses();
    RegisterItemInfoClasses();
    RegisterPreviewClasses();
}

}  // namespace treskel
