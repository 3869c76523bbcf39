// A control kind that reaches for the common routines: must not compile.
#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"
