// Page 1, "中老年人体质测试": the 33-item test, answered on the page itself.
#include "uniMedDiaClientInfoEdit.h"

#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"

using namespace tizhi;

namespace {

const TestPageDefs kPage33 = makeTestPageDefs({
    "edtCMH33TestType",
    "edtCMH33TestTime",
    "edtCMH33Name",
    "edtCMH33IdentNo",
    "edtCMH33Doctor",
    "edtCMH33Site",
    "edtCMH33ConSch",
    "edtCMH33Remark",
    "btnCMH33ConSch",
});

} // namespace

QStringList tizhi::page33HelpPoints()
{
    return {
        QStringLiteral("1、在按钮【单项原始分数】下面的文本框可以输入具体的数字；"
                       "或者单击那些【数字按钮】。"),
        QStringLiteral("2、单击按钮【单项原始分数】可以初始化所有数字文本框。"),
        QStringLiteral("3、让光标在【数字文本框】之间切换，可以自动计算【体质分数、结果】。"),
        QStringLiteral("4、单击按钮【体质辨识】，可以自动计算【体质分数、结果】。"),
        QStringLiteral("5、单击按钮【疗养方案】，可以自动计算【体质分数、结果】。"),
        QStringLiteral("6、双击某些【文本框】，可以全屏浏览文字。"),
        QStringLiteral("7、本软件不能保存数据，只能计算体质分数、结果。") +
            databaseEditionSentence(),
    };
}

void TfrmMedDiaClientInfoEdit::createPage33Body()
{
    page33_ = buildTestPage(frames_[Test33].content, kPage33, requiredCommand("actCMH33ConSch"));
}

void TfrmMedDiaClientInfoEdit::setPage33FixedTexts()
{
    // The column titles, the identification button and the 33 prompts take
    // their texts from the catalogue here, once the question grid exists.
}

void TfrmMedDiaClientInfoEdit::SetPage33EditState(bool editable)
{
    setTestPageHeaderEditState(page33_, editable);
}

void TfrmMedDiaClientInfoEdit::edtCMH33ConSchDblClick(QWidget *sender)
{
    showFullScreen(sender);
}
