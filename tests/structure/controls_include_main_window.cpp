// A control kind that reaches for the main window: must not compile.
#include "control_kinds.h"
#include "uniMedDiaClientInfoEdit.h"
