#include "record_pages.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace tizhi {

namespace {

using K = FieldKind;

// Client record, in tab order; rows and columns as laid out on page 0.
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

// Diagnosis record, in tab order, as laid out on page 3.
const QList<FieldDef> kDiagnoseFields = {
    {"诊疗时间", "edtMDRTreatTime", K::DateTime, 0, 0, 128, 21, true},
    {"客户姓名", "edtMDRName", K::Edit, 0, 1, 128, 21, true},
    {"证件号码", "edtMDRIdentNo", K::Edit, 0, 2, 470, 21, true},
    {"主治医生", "edtMDRDoctor", K::Edit, 1, 0, 339},
    {"诊疗地点", "edtMDRSite", K::Edit, 1, 2, 470},
    {"客户自述", "edtMDRClientTell", K::RichText, 2, 0, 893, 68, true},
    {"望诊检查", "edtMDRLookCheck", K::RichText, 3, 0, 339, 68, true},
    {"闻诊检查", "edtMDRSmellCheck", K::RichText, 3, 2, 470, 68, true},
    {"问诊检查", "edtMDRAskCheck", K::RichText, 4, 0, 339, 68, true},
    {"切诊检查", "edtMDRGripCheck", K::RichText, 4, 2, 470, 68, true},
    {"触诊检查", "edtMDRTouchCheck", K::RichText, 5, 0, 339, 68, true},
    {"其它检查", "edtMDROtherheck", K::RichText, 5, 2, 470, 68, true},
    {"检查结果", "edtMDRCheckResult", K::RichText, 6, 0, 893, 68, true},
    {"疗养方案", "edtMDRConvalesceScheme", K::RichText, 7, 0, 893, 68, true},
    {"备注说明", "edtMDRRemark", K::RichText, 8, 0, 893, 118, false, false},
};

// Contact record, in tab order, as laid out on page 4.
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

const QList<FieldDef> &recordFields(RecordPage page)
{
    switch (page) {
    case RecordPage::BaseInfo:
        return kBaseInfoFields;
    case RecordPage::Diagnose:
        return kDiagnoseFields;
    case RecordPage::Contact:
        break;
    }
    return kContactFields;
}

FieldGrid buildRecordPage(QWidget *content, RecordPage page)
{
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    FieldGrid grid = buildFieldGrid(content, recordFields(page));
    column->addWidget(grid.container);
    column->addStretch(1);
    return grid;
}

} // namespace tizhi
