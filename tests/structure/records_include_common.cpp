// tizhi-records reaching for the windows' shared routines: must not compile.
#include "test_import.h"
#include "uniChineseMedicinePublic.h"
