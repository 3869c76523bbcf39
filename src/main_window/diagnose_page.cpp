#include "diagnose_page.h"

#include "control_kinds.h"

namespace tizhi {

namespace {

using K = FieldKind;

// The diagnosis record, in tab order, as laid out on the page. Enter in the
// remark stays there.
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

} // namespace

DiagnosePage::DiagnosePage(QWidget *content) : RecordPage(content, kDiagnoseFields) {}

TwwDBRichEdit *DiagnosePage::scheme() const
{
    return grid().field<TwwDBRichEdit>("edtMDRConvalesceScheme");
}

} // namespace tizhi
