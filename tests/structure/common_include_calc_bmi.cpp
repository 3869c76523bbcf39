// A shared routine that reaches for the BMI calculator, which only the main
// window opens: must not compile.
#include "uniChineseMedicinePublic.h"

#include "uniCalcBMI.h"
