// Page 0, "基础信息": the client record.
#pragma once

#include "record_page.h"

class TwwDBRichEdit;

namespace tizhi {

class BaseInfoPage : public RecordPage {
public:
    explicit BaseInfoPage(QWidget *content);

    // The remark field, which carries the "保存扩展项目" menu.
    TwwDBRichEdit *remark() const;
};

} // namespace tizhi
