#include "base_info_page.h"

#include "control_kinds.h"

namespace tizhi {

namespace {

using K = FieldKind;

// The client record, in tab order; rows and columns as laid out on the page.
const QList<FieldDef> kBaseInfoFields = {
    {"证件类型", "edtIdentType", K::Lookup, 0, 0, 128, 21, true},
    {"证件号码", "edtIdentNo", K::Edit, 0, 1, 128, 21, true},
    {"客户性别", "edtSex", K::Lookup, 1, 0, 128, 21, true},
    {"客户姓名", "edtName", K::Edit, 1, 1, 128, 21, true},
    {"客户年龄", "edtAge", K::Edit, 1, 2, 192},
    {"联络电话", "edtPhone", K::Edit, 2, 0, 128},
    {"家庭住址", "edtAddress", K::Edit, 3, 0, 893},
    {"出生日期", "edtBirthday", K::Date, 0, 2, 192},
    {"出生时辰", "edtBirthTime", K::Lookup, 0, 3, 192},
    {"婚姻状况", "edtMarriage", K::Lookup, 1, 3, 192},
    {"紧急联络", "edtUrgentPerson", K::Edit, 2, 1, 128},
    {"紧急电话", "edtUrgentPhone", K::Edit, 2, 2, 192},
    {"其它联络", "edtOtherContact", K::Edit, 2, 3, 192},
    {"所属国家", "edtCountry", K::Edit, 4, 0, 128},
    {"所属民族", "edtNation", K::Edit, 4, 1, 128},
    {"出生籍贯", "edtBirthPlace", K::Edit, 4, 2, 192},
    {"信息卡号", "edtCardNo", K::Edit, 4, 3, 192, 21, true},
    {"客户身高", "edtStature", K::Edit, 5, 0, 128},
    {"客户体重", "edtWeight", K::Edit, 5, 1, 128},
    {"客户血型", "edtBloodType", K::Lookup, 5, 2, 192},
    {"医疗形式", "edtTreatTye", K::Lookup, 5, 3, 192},
    {"文化程度", "edtCulture", K::Edit, 6, 0, 128},
    {"收入水平", "edtIncomeLevel", K::Edit, 6, 1, 128},
    {"目前职业", "edtVocation", K::Edit, 6, 2, 192},
    {"工作单位", "edtWorkUnit", K::Edit, 6, 3, 192},
    {"备注说明", "edtRemark", K::RichText, 7, 0, 893, 305},
};

} // namespace

BaseInfoPage::BaseInfoPage(QWidget *content) : RecordPage(content, kBaseInfoFields) {}

TwwDBRichEdit *BaseInfoPage::remark() const
{
    return grid().field<TwwDBRichEdit>("edtRemark");
}

} // namespace tizhi
