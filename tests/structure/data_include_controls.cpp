// The data layer reaching for a control kind: must not compile.
#include "database.h"
#include "control_kinds.h"
