// tizhi-records reaching for a widget: must not compile.
#include "test_import.h"
#include <QWidget>
