// tizhi-score's library reaches the record form renderer only through the
// module it loads: this include must fail.
#include "record_form.h"
