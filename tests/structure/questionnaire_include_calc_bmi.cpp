// The questionnaire window that reaches for the BMI calculator, which only
// the main window opens: must not compile.
#include "uniMedDiaClientChiModHabFieldEdit.h"

#include "uniCalcBMI.h"
