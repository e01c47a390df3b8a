#include "app/RegisterAll.h"

#include "app/LinkInformation.h"
#include "app/OtherQiv.h"
#include "app/SearchDialog.h"
#include "app/TreskelOptions.h"
#include "app/frmMain.h"
#include "compress/LH5Control.h"
#include "controls/qclbtnWin.h"
#include "controls/qclextcS.h"
#include "controls/qclctrlAImage.h"
#include "controls/qcldlgS.h"
#include "controls/qclextcSEdge.h"
#include "controls/qclformA.h"
#include "controls/qclsplt.h"
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
    RegisterFormComponentClasses();
    RegisterSplitterClasses();
    RegisterImageClasses();
    RegisterDrawEdgeClasses();
    RegisterDialogClasses();
    RegisterCompressClasses();
    RegisterRichEditClasses();
    RegisterMainFormClasses();
    RegisterSearchDialogClasses();
    RegisterItemInfoClasses();
    RegisterOptionsClasses();
    RegisterAboutClasses();
    RegisterPreviewClasses();
}

}  // namespace treskel
