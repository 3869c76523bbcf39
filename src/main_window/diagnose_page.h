// Page 3, "诊疗记录": the client's diagnosis records.
#pragma once

#include "record_page.h"

class TwwDBRichEdit;

namespace tizhi {

class DiagnosePage : public RecordPage {
public:
    explicit DiagnosePage(QWidget *content);

    // The scheme field, which carries the "保存扩展项目" menu.
    TwwDBRichEdit *scheme() const;
};

} // namespace tizhi
