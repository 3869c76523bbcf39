// Page 2, "中医体质测试": the 66-item test, answered type by type in the
// questionnaire window. Its nine type fields hold the item strings of both
// tests.
#include "uniMedDiaClientInfoEdit.h"

#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"

using namespace tizhi;

namespace {

const TestPageDefs kPage66 = makeTestPageDefs({
    "edtCMHTestType",
    "edtCMHTestTime",
    "edtCMHName",
    "edtCMHIdentNo",
    "edtCMHDoctor",
    "edtCMHSite",
    "edtCMHConvalesceScheme",
    "edtCMHRemark",
    "btnCMHConvalesceScheme",
    "pnlCMHBody",
});

} // namespace

QStringList tizhi::page66HelpPoints()
{
    return {
        QStringLiteral("1、单击按钮【>>>】可以切换到【体质测试项目窗口】。"),
        QStringLiteral("2、双击【体质各项文本框】可以切换到【体质测试项目窗口】。"),
        QStringLiteral("3、让光标在【体质各项文本框】之间切换，可以自动计算【体质分数、结果】。"),
        QStringLiteral("4、单击按钮【疗养方案】，可以自动计算【体质分数、结果】。"),
        QStringLiteral("5、双击某些【文本框】，可以全屏浏览文字。"),
        QStringLiteral("6、本软件不能保存数据，只能计算体质分数、结果。") +
            databaseEditionSentence(),
    };
}

void TfrmMedDiaClientInfoEdit::createPage66Body()
{
    page66_ =
        buildTestPage(frames_[Test66].content, kPage66, requiredCommand("actCMHConvalesceScheme"));
}

void TfrmMedDiaClientInfoEdit::clearTypeFields()
{
    for (TwwDBEdit *field : typeFields_)
        field->setText(QStringLiteral("0"));
}

void TfrmMedDiaClientInfoEdit::SetPage66EditState(bool editable)
{
    setTestPageHeaderEditState(page66_, editable);
}

void TfrmMedDiaClientInfoEdit::edtCMHConvalesceSchemeDblClick(QWidget *sender)
{
    showFullScreen(sender);
}
