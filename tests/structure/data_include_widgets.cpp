// The data layer reaching for a widget: must not compile.
#include "record_table.h"
#include <QWidget>
