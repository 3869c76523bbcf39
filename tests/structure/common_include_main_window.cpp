// A shared routine or auxiliary window that reaches for the main window:
// must not compile.
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientInfoEdit.h"
