// The BMI calculator that reaches for the questionnaire window: must not
// compile.
#include "uniCalcBMI.h"

#include "uniMedDiaClientChiModHabFieldEdit.h"
