// The BMI calculator that reaches for the main window: must not compile.
#include "uniCalcBMI.h"

#include "uniMedDiaClientInfoEdit.h"
