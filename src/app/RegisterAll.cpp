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
#include "winutil/CapCtrl.h"
#include "winutil/Colorbtn.h"
#include "winutil/Gradpanl.h"
#include "winutil/Placemnt.h"
#include "winutil/WuCtrls.h"
#include "winutil/WuHook.h"
#include "winutil/WuShell.h"

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
    RegisterCaptionControlClasses();
    RegisterColorButtonClasses();
    RegisterGradientPanelClasses();
    RegisterTrayIconClasses();
    RegisterPlacementClasses();
    RegisterWuHookClasses();
    RegisterQclControlClasses();
    RegisterCompressClasses();
    RegisterRichEditClasses();
    RegisterMainFormClasses();
    RegisterSearchDialogClasses();
    RegisterItemInfoClasses();
    RegisterPreviewClasses();
}

}  // namespace treskel
