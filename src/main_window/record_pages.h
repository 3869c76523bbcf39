// The three record pages (client base information, diagnosis records,
// contact records): their fields in record order, laid out for a client
// database and never connected to data in this edition.
#pragma once

#include "field_grid.h"

namespace tizhi {

enum class RecordPage { BaseInfo, Diagnose, Contact };

// The fields of a record page, in tab order.
const QList<FieldDef> &recordFields(RecordPage page);

// Lays the page's fields out on `content`, the page's data area, and
// returns them.
FieldGrid buildRecordPage(QWidget *content, RecordPage page);

} // namespace tizhi
