#include "page66.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "page_frame.h"
#include "record_binding.h"
#include "uniChineseMedicinePublic.h"
#include "uniMedDiaClientChiModHabFieldEdit.h"
#include "uniMedDiaClientInfoEdit.h"
#include "window_commands.h"

#include <QGridLayout>
#include <QHBoxLayout>

namespace tizhi {

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

// Trimmed of blanks and control characters, as the item string is read.
QString trimmedItemString(const QString &text)
{
    qsizetype start = 0, end = text.size();
    while (start < end && text[start].unicode() <= ' ')
        ++start;
    while (end > start && text[end - 1].unicode() <= ' ')
        --end;
    return text.mid(start, end - start);
}

} // namespace

QStringList Page66::helpPoints()
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

Page66::Page66(TfrmMedDiaClientInfoEdit *window, const PageFrame &frame,
               const WindowCommands &commands, RecordBinding &record)
    : window_(window),
      header_(buildTestPage(frame.content, kPage66, commands.actCMHConvalesceScheme))
{
    // The two summaries, then one row per type, YangXu first.
    conTotal_ = createSummary("edtCMHConTotal", "转化汇总", 0, 339);
    resultTotal_ = createSummary("edtCMHResultTotal", "体质结果", 2, 470);
    int row = kFirstBodyRow;
    for (const ConstitutionType &type : kTypes)
        createTypeRow(type, ++row, record);
    record.bind(&AssessmentRecord::V_CON_TOTAL, conTotal_);
    record.bind(&AssessmentRecord::V_RESULT_TOTAL, resultTotal_);
    setTabOrder();
}

void Page66::place(int row, int column, const QString &caption, QWidget *field, int width,
                   const QString &fieldName)
{
    QGridLayout *grid = header_.grid.layout;
    auto *label = new TLabel(header_.grid.container);
    label->setObjectName(QStringLiteral("lbl") + fieldName.mid(3) + QStringLiteral("Caption"));
    label->setText(caption);
    const bool tall = field->minimumSizeHint().height() > 30;
    grid->addWidget(label, row, 2 * column,
                    Qt::AlignLeft | (tall ? Qt::AlignTop : Qt::AlignVCenter));
    grid->addWidget(field, row, fieldGridColumn(column), 1, fieldGridSpan(column, width));
}

TwwDBEdit *Page66::createSummary(const char *name, const char *caption, int column, int width)
{
    // Word-wrapped, read-only, empty at start.
    auto *box = new TwwDBEdit(header_.grid.container);
    box->setObjectName(QString::fromLatin1(name));
    box->setWordWrap(true);
    box->setDesignSize({width, 98});
    setEnterMovesOn(box);
    place(kFirstBodyRow, column, QString::fromUtf8(caption), box, width, box->objectName());
    return box;
}

void Page66::createTypeRow(const ConstitutionType &type, int row, RecordBinding &record)
{
    QWidget *content = header_.grid.container;
    TypeRow &typeRow = typeRows_[std::size_t(type.code - 1)];
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
    QWidget *fieldCell = createTypeFieldCell(type, typeRow);
    place(row, 2, word + QStringLiteral("各项"), fieldCell, kTypeFieldWidth + kButtonSize,
          typeRow.field->objectName());

    typeRow.result = new TwwDBLookupCombo(content);
    typeRow.result->setObjectName(controlName("edtCMH", type, "Result"));
    typeRow.result->setEditable(false);
    typeRow.result->setDesignSize({kVerdictWidth, 21});
    place(row, 3, word + QStringLiteral("体质"), typeRow.result, kVerdictWidth,
          typeRow.result->objectName());
    for (QWidget *field :
         std::initializer_list<QWidget *>{typeRow.field, typeRow.org, typeRow.con, typeRow.result})
        setEnterMovesOn(field);

    const TypeFields &fields = fieldsOf(type);
    record.bind(fields.field, typeRow.field);
    record.bind(fields.org, typeRow.org);
    record.bind(fields.con, typeRow.con);
    record.bind(fields.result, typeRow.result);
}

QWidget *Page66::createTypeFieldCell(const ConstitutionType &type, TypeRow &typeRow)
{
    using W = TfrmMedDiaClientInfoEdit;
    // The type field, one line high and scrolling, with ">>>" at its end.
    auto *cell = new QWidget(header_.grid.container);
    auto *cellLayout = new QHBoxLayout(cell);
    cellLayout->setContentsMargins(0, 0, 0, 0);
    cellLayout->setSpacing(0);
    typeRow.field = new TwwDBEdit(cell);
    typeRow.field->setObjectName(controlName("edtCMH", type, "Field"));
    typeRow.field->setWordWrap(true);
    typeRow.field->setVisibleLines(1);
    typeRow.field->setDesignSize({kTypeFieldWidth, 21});
    // An item string has no word boundaries, and Qt's default wrapping
    // (at word boundaries, else anywhere) lays out a long one in time
    // quadratic in its length: a 2 MB paste took minutes. Wrapping anywhere
    // breaks such a string where the default would, in linear time.
    typeRow.field->setWordWrapMode(QTextOption::WrapAnywhere);
    typeRow.button = new TSpeedButton(cell);
    typeRow.button->setObjectName(controlName("btnCMH", type, "Field"));
    typeRow.button->setText(QStringLiteral(">>>"));
    typeRow.button->setFocusPolicy(Qt::NoFocus);
    typeRow.button->setToolTip(
        QStringLiteral("打开体质测试项目窗口（在文本框中按 Alt+↓ 也可打开）"));
    typeRow.button->setDesignSize({kButtonSize, kButtonSize});
    cellLayout->addWidget(typeRow.field, 1);
    cellLayout->addWidget(typeRow.button);

    const Handler dblClick = kFieldDblClick[std::size_t(type.code - 1)];
    ControlEvents *events = typeRow.field->events();
    QObject::connect(events, &ControlEvents::exited, window_, &W::edtCMHYangXuFieldExit);
    QObject::connect(events, &ControlEvents::keyPressed, window_, &W::edtCMHYangXuFieldKeyPress);
    QObject::connect(events, &ControlEvents::doubleClicked, window_, dblClick);
    QObject::connect(events, &ControlEvents::keyDown, window_, &W::edtCMHYangXuFieldKeyDown);
    TSpeedButton *button = typeRow.button;
    QObject::connect(button, &QToolButton::clicked, window_,
                     [window = window_, button, dblClick] { (window->*dblClick)(button); });
    return cell;
}

void Page66::setTabOrder()
{
    // The header, the summaries, the nine type fields (Tab and Enter walk
    // from one to the next), scheme and remark, then per type the raw
    // score, transformed score and verdict.
    const TestPage &h = header_;
    QList<QWidget *> order = {h.testType, h.testTime, h.name,    h.identNo,
                              h.doctor,   h.site,     conTotal_, resultTotal_};
    for (const TypeRow &typeRow : typeRows_)
        order << typeRow.field;
    order << h.scheme << h.remark;
    for (const TypeRow &typeRow : typeRows_)
        order << typeRow.org << typeRow.con << typeRow.result;
    setTabOrderChain(order);
}

QWidget *Page66::firstField() const
{
    return typeRows_[0].field;
}

int Page66::typeCodeOf(const QWidget *field) const
{
    for (std::size_t i = 0; i < typeRows_.size(); ++i) {
        if (typeRows_[i].field == field)
            return int(i) + 1;
    }
    return 0;
}

void Page66::clearTypeFields()
{
    for (const TypeRow &typeRow : typeRows_)
        typeRow.field->setText(QStringLiteral("0"));
}

void Page66::setEditState(bool editable)
{
    setTestPageHeaderEditState(header_, editable);
    const TColor color =
        editable ? InterfaceRecord->GetEditableColor() : InterfaceRecord->GetReadOnlyColor();
    for (const TypeRow &typeRow : typeRows_) {
        typeRow.field->setReadOnlyFlag(!editable);
        typeRow.field->setColor(color);
    }
}

bool Page66::typeFieldTakes(QChar key)
{
    return (key >= QChar('0') && key <= QChar('5')) || key == QChar(';') || key == QChar(8);
}

void Page66::openQuestionnaire(int code, QWidget *parent, bool viewOnly)
{
    TwwDBEdit *field = typeRows_[std::size_t(code - 1)].field;
    if (!frmMedDiaClientChiModHabFieldEdit)
        frmMedDiaClientChiModHabFieldEdit = new TfrmMedDiaClientChiModHabFieldEdit(parent);
    TfrmMedDiaClientChiModHabFieldEdit *questionnaire = frmMedDiaClientChiModHabFieldEdit;
    questionnaire->PrepareForType(viewOnly ? TfrmMedDiaClientChiModHabFieldEdit::kViewOnly
                                           : TfrmMedDiaClientChiModHabFieldEdit::kAnswering,
                                  code, trimmedItemString(field->text()));
    if (questionnaire->exec() == QDialog::Accepted && !viewOnly)
        field->setText(questionnaire->GetItemString());
    delete questionnaire; // also clears the reference
    frmMedDiaClientChiModHabFieldEdit = nullptr;
}

} // namespace tizhi
