// The record form renderer reaching for a widget: must not compile; it draws
// on any paged device, also from the command line without a display.
#include "record_form.h"
#include <QWidget>
