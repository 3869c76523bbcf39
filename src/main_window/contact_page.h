// Page 4, "回访联络记录": the client's follow-up contact records.
#pragma once

#include "record_page.h"

namespace tizhi {

class ContactPage : public RecordPage {
public:
    explicit ContactPage(QWidget *content);
};

} // namespace tizhi
