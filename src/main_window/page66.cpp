// Page 2, "中医体质测试": the 66-item test, answered type by type in the
// questionnaire window. Its nine type fields hold the item strings of both
// tests.
#include "uniMedDiaClientInfoEdit.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientChiModHabFieldEdit.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>

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
});

QString controlName(const char *prefix, const ConstitutionType &type, const char *suffix)
{
    return QString::fromLatin1(prefix) + fromCatalogue(type.pinyin) + QString::fromLatin1(suffix);
}

// The nine double-click handlers in type-code order.
using Handler = void (TfrmMedDiaClientInfoEdit::*)(QWidget *);
const std::array<Handler, kTypeCount> kFieldDblClick = {
    &TfrmMedDiaClientInfoEdit::edtCMHYangXuFieldDblClick,
    &TfrmMedDiaClientInfoEdit::edtCMHYinXuFieldDblClick,
    &TfrmMedDiaClientInfoEdit::edtCMHQiXuFieldDblClick,
    &TfrmMedDiaClientInfoEdit::edtCMHTanShiFieldDblClick,
    &TfrmMedDiaClientInfoEdit::edtCMHShiReFieldDblClick,
    &TfrmMedDiaClientInfoEdit::edtCMHXueYuFieldDblClick,
    &TfrmMedDiaClientInfoEdit::edtCMHQiYuFieldDblClick,
    &TfrmMedDiaClientInfoEdit::edtCMHTeBingFieldDblClick,
    &TfrmMedDiaClientInfoEdit::edtCMHPingHeFieldDblClick,
};

// Design sizes of a type row.
constexpr int kScoreWidth = 128;
constexpr int kTypeFieldWidth = 171;
constexpr int kButtonSize = 21;
constexpr int kVerdictWidth = 192;

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
    QWidget *content = page66_.grid.container;
    QGridLayout *grid = page66_.grid.layout;

    // A caption in design column `column` of grid row `row`, then its field.
    auto place = [content, grid](int row, int column, const QString &caption, QWidget *field,
                                 int width, const QString &fieldName) {
        auto *label = new TLabel(content);
        label->setObjectName(QStringLiteral("lbl") + fieldName.mid(3) + QStringLiteral("Caption"));
        label->setText(caption);
        const bool tall = field->minimumSizeHint().height() > 30;
        grid->addWidget(label, row, 2 * column,
                        Qt::AlignLeft | (tall ? Qt::AlignTop : Qt::AlignVCenter));
        grid->addWidget(field, row, fieldGridColumn(column), 1, fieldGridSpan(column, width));
    };

    // The two summaries: word-wrapped, read-only, empty at start.
    int row = kFirstBodyRow;
    const auto summary = [&](const char *name, const char *caption, int column, int width) {
        auto *box = new TwwDBEdit(content);
        box->setObjectName(QString::fromLatin1(name));
        box->setWordWrap(true);
        box->setDesignSize({width, 98});
        place(row, column, QString::fromUtf8(caption), box, width, box->objectName());
        return box;
    };
    conTotal_ = summary("edtCMHConTotal", "转化汇总", 0, 339);
    resultTotal_ = summary("edtCMHResultTotal", "体质结果", 2, 470);

    // One row per type, YangXu first, each bound to its fields of the record.
    for (const ConstitutionType &type : kTypes) {
        ++row;
        TypeRow66 &typeRow = typeRows66_[std::size_t(type.code - 1)];
        const QString word = fromCatalogue(type.displayName).left(2); // "阳虚"
        auto scoreBox = [&](const char *suffix) {
            auto *box = new TwwDBEdit(content);
            box->setObjectName(controlName("edtCMH", type, suffix));
            box->setDesignSize({kScoreWidth, 21});
            return box;
        };
        typeRow.org = scoreBox("Org");
        typeRow.con = scoreBox("Con");
        place(row, 0, word + QStringLiteral("原始"), typeRow.org, kScoreWidth,
              typeRow.org->objectName());
        place(row, 1, word + QStringLiteral("转化"), typeRow.con, kScoreWidth,
              typeRow.con->objectName());

        // The type field, one line high and scrolling, with ">>>" at its end.
        auto *fieldCell = new QWidget(content);
        auto *cellLayout = new QHBoxLayout(fieldCell);
        cellLayout->setContentsMargins(0, 0, 0, 0);
        cellLayout->setSpacing(0);
        typeRow.field = new TwwDBEdit(fieldCell);
        typeRow.field->setObjectName(controlName("edtCMH", type, "Field"));
        typeRow.field->setWordWrap(true);
        typeRow.field->setVisibleLines(1);
        typeRow.field->setDesignSize({kTypeFieldWidth, 21});
        typeRow.button = new TSpeedButton(fieldCell);
        typeRow.button->setObjectName(controlName("btnCMH", type, "Field"));
        typeRow.button->setText(QStringLiteral(">>>"));
        typeRow.button->setFocusPolicy(Qt::NoFocus);
        typeRow.button->setDesignSize({kButtonSize, kButtonSize});
        cellLayout->addWidget(typeRow.field, 1);
        cellLayout->addWidget(typeRow.button);
        place(row, 2, word + QStringLiteral("各项"), fieldCell, kTypeFieldWidth + kButtonSize,
              typeRow.field->objectName());

        typeRow.result = new TwwDBLookupCombo(content);
        typeRow.result->setObjectName(controlName("edtCMH", type, "Result"));
        typeRow.result->setEditable(false);
        typeRow.result->setDesignSize({kVerdictWidth, 21});
        place(row, 3, word + QStringLiteral("体质"), typeRow.result, kVerdictWidth,
              typeRow.result->objectName());

        const TypeFields &fields = fieldsOf(type);
        record_.bind(fields.field, typeRow.field);
        record_.bind(fields.org, typeRow.org);
        record_.bind(fields.con, typeRow.con);
        record_.bind(fields.result, typeRow.result);
    }
    record_.bind(&AssessmentRecord::V_CON_TOTAL, conTotal_);
    record_.bind(&AssessmentRecord::V_RESULT_TOTAL, resultTotal_);

    // Tab order: the header, the summaries, the nine type fields (Tab and
    // Enter walk from one to the next), scheme and remark, then per type
    // the raw score, transformed score and verdict.
    QList<QWidget *> order = {page66_.testType, page66_.testTime, page66_.name, page66_.identNo,
                              page66_.doctor,   page66_.site,     conTotal_,    resultTotal_};
    for (const TypeRow66 &typeRow : typeRows66_)
        order << typeRow.field;
    order << page66_.scheme << page66_.remark;
    for (const TypeRow66 &typeRow : typeRows66_)
        order << typeRow.org << typeRow.con << typeRow.result;
    setTabOrderChain(order);
}

void TfrmMedDiaClientInfoEdit::connectPage66Handlers()
{
    for (std::size_t i = 0; i < typeRows66_.size(); ++i) {
        const TypeRow66 &typeRow = typeRows66_[i];
        ControlEvents *field = typeRow.field->events();
        connect(field, &ControlEvents::exited, this,
                &TfrmMedDiaClientInfoEdit::edtCMHYangXuFieldExit);
        connect(field, &ControlEvents::keyPressed, this,
                &TfrmMedDiaClientInfoEdit::edtCMHYangXuFieldKeyPress);
        connect(field, &ControlEvents::doubleClicked, this, kFieldDblClick[i]);
        TSpeedButton *button = typeRow.button;
        connect(button, &QToolButton::clicked, this,
                [this, button, handler = kFieldDblClick[i]] { (this->*handler)(button); });
        for (IControlKind *kind : std::initializer_list<IControlKind *>{
                 typeRow.field, typeRow.org, typeRow.con, typeRow.result})
            connect(kind->events(), &ControlEvents::keyDown, this,
                    &TfrmMedDiaClientInfoEdit::edtVerifyIfKeyDown);
        connect(typeRow.result->events(), &ControlEvents::keyPressed, this,
                &TfrmMedDiaClientInfoEdit::edtVerifyIfKeyPress);
    }
    for (TwwDBEdit *summary : {conTotal_, resultTotal_})
        connect(summary->events(), &ControlEvents::keyDown, this,
                &TfrmMedDiaClientInfoEdit::edtVerifyIfKeyDown);
    QAction *scheme = requiredCommand("actCMHConvalesceScheme");
    scheme->setEnabled(true);
    connect(scheme, &QAction::triggered, this,
            &TfrmMedDiaClientInfoEdit::actCMHConvalesceSchemeExecute);
}

void TfrmMedDiaClientInfoEdit::clearTypeFields()
{
    for (const TypeRow66 &typeRow : typeRows66_)
        typeRow.field->setText(QStringLiteral("0"));
}

void TfrmMedDiaClientInfoEdit::SetPage66EditState(bool editable)
{
    setTestPageHeaderEditState(page66_, editable);
    const TColor color =
        editable ? InterfaceRecord->GetEditableColor() : InterfaceRecord->GetReadOnlyColor();
    for (const TypeRow66 &typeRow : typeRows66_) {
        typeRow.field->setReadOnlyFlag(!editable);
        typeRow.field->setColor(color);
    }
}

void TfrmMedDiaClientInfoEdit::edtCMHYangXuFieldExit(QWidget *)
{
    runAssessment(Assess66);
}

void TfrmMedDiaClientInfoEdit::edtCMHYangXuFieldKeyPress(QWidget *, QChar &key)
{
    const bool kept =
        (key >= QChar('0') && key <= QChar('5')) || key == QChar(';') || key == QChar(8);
    if (!kept)
        key = QChar();
}

void TfrmMedDiaClientInfoEdit::actCMHConvalesceSchemeExecute()
{
    if (mayExecute(requiredCommand("actCMHConvalesceScheme")))
        runAssessment(Assess66);
}

void TfrmMedDiaClientInfoEdit::openQuestionnaire(int code)
{
    TwwDBEdit *field = typeRows66_[std::size_t(code - 1)].field;
    if (!frmMedDiaClientChiModHabFieldEdit)
        frmMedDiaClientChiModHabFieldEdit = new TfrmMedDiaClientChiModHabFieldEdit(this);
    TfrmMedDiaClientChiModHabFieldEdit *questionnaire = frmMedDiaClientChiModHabFieldEdit;
    // Trimmed of blanks and control characters, as the item string is read.
    QString text = field->text();
    qsizetype start = 0, end = text.size();
    while (start < end && text[start].unicode() <= ' ')
        ++start;
    while (end > start && text[end - 1].unicode() <= ' ')
        --end;
    questionnaire->PrepareForType(TfrmMedDiaClientChiModHabFieldEdit::kAnswering, code,
                                  text.mid(start, end - start));
    if (questionnaire->exec() == QDialog::Accepted)
        field->setText(questionnaire->GetItemString());
    delete questionnaire; // also clears the reference
    frmMedDiaClientChiModHabFieldEdit = nullptr;
}

void TfrmMedDiaClientInfoEdit::edtCMHYangXuFieldDblClick(QWidget *)
{
    openQuestionnaire(1);
}

void TfrmMedDiaClientInfoEdit::edtCMHYinXuFieldDblClick(QWidget *)
{
    openQuestionnaire(2);
}

void TfrmMedDiaClientInfoEdit::edtCMHQiXuFieldDblClick(QWidget *)
{
    openQuestionnaire(3);
}

void TfrmMedDiaClientInfoEdit::edtCMHTanShiFieldDblClick(QWidget *)
{
    openQuestionnaire(4);
}

void TfrmMedDiaClientInfoEdit::edtCMHShiReFieldDblClick(QWidget *)
{
    openQuestionnaire(5);
}

void TfrmMedDiaClientInfoEdit::edtCMHXueYuFieldDblClick(QWidget *)
{
    openQuestionnaire(6);
}

void TfrmMedDiaClientInfoEdit::edtCMHQiYuFieldDblClick(QWidget *)
{
    openQuestionnaire(7);
}

void TfrmMedDiaClientInfoEdit::edtCMHTeBingFieldDblClick(QWidget *)
{
    openQuestionnaire(8);
}

void TfrmMedDiaClientInfoEdit::edtCMHPingHeFieldDblClick(QWidget *)
{
    openQuestionnaire(9);
}

void TfrmMedDiaClientInfoEdit::edtCMHConvalesceSchemeDblClick(QWidget *sender)
{
    showFullScreen(sender);
}
