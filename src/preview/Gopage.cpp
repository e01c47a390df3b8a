#include "preview/PrevPrinter.h"
