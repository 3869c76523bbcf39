// The assessment is standard C++ alone: Qt must not compile in it.
#include "assessment.h"
#include <QString>
