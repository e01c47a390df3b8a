#include "preview/PrevPrinter.h"
namespace treskel {
void TPreviewPrinter::Preview() {}
int TPreviewPrinter::PageSetup() { return 0; }
void RegisterPreviewClasses() {}
}
