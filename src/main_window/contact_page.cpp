#include "contact_page.h"

namespace tizhi {

namespace {

using K = FieldKind;

// The contact record, in tab order, as laid out on the page. Enter in the
// remark stays there.
const QList<FieldDef> kContactFields = {
    {"客户姓名", "edtCRName", K::Edit, 0, 0, 128, 21, true},
    {"证件号码", "edtCRIdentNo", K::Edit, 0, 1, 128, 21, true},
    {"联络时间", "edtCRConTime", K::DateTime, 0, 2, 192, 21, true},
    {"联络性质", "edtCRConNature", K::Edit, 0, 3, 192, 21, true},
    {"联络方式", "edtCRConWay", K::Edit, 1, 0, 339, 21, true},
    {"联络地点", "edtCRConAddress", K::Edit, 1, 2, 470},
    {"联络内容", "edtCRConDetail", K::Edit, 2, 0, 339},
    {"联络过程", "edtCRConProcess", K::Edit, 2, 2, 470},
    {"下次时间", "edtCRConNextTime", K::DateTime, 3, 0, 339, 21, true},
    {"下次内容", "edtCRConNextDetail", K::Edit, 3, 2, 470},
    {"备注说明", "edtCRRemark", K::RichText, 4, 0, 893, 412, false, false},
};

} // namespace

ContactPage::ContactPage(QWidget *content) : RecordPage(content, kContactFields) {}

} // namespace tizhi
