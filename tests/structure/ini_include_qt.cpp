// The settings reader reaching for Qt: must not compile.
#include "ini_file.h"
#include <QString>
