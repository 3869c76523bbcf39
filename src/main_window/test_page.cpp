#include "test_page.h"

#include "control_kinds.h"
#include "uniChineseMedicinePublic.h"

#include <QAction>
#include <QGridLayout>
#include <QVBoxLayout>

namespace tizhi {

namespace {

using K = FieldKind;

} // namespace

TestPageDefs makeTestPageDefs(const TestPageNames &names)
{
    return {
        names,
        {
            {"测试类型", names.testType, K::Lookup, 0, 0, 128},
            {"测试时间", names.testTime, K::DateTime, 0, 1, 128},
            {"客户姓名", names.name, K::Edit, 0, 2, 192},
            {"证件号码", names.identNo, K::Edit, 0, 3, 192},
            {"保健医生", names.doctor, K::Edit, 1, 0, 339},
            {"保健地点", names.site, K::Edit, 1, 2, 470},
            // The scheme row's caption is the scheme button, placed below.
            {nullptr, names.scheme, K::RichText, kSchemeRow, 0, 893, 228},
            // Enter in the remark stays there.
            {"备注说明", names.remark, K::RichText, kSchemeRow + 1, 0, 893, 118, false, false},
        },
    };
}

TestPage buildTestPage(QWidget *content, const TestPageDefs &defs, QAction *schemeCommand)
{
    const TestPageNames &names = defs.names;
    TestPage page;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    page.grid = buildFieldGrid(content, defs.fields);
    column->addWidget(page.grid.container);
    column->addStretch(1);

    page.testType = page.grid.field<TwwDBLookupCombo>(names.testType);
    page.testTime = page.grid.field<TwwDBDateTimePicker>(names.testTime);
    page.name = page.grid.field<TwwDBEdit>(names.name);
    page.identNo = page.grid.field<TwwDBEdit>(names.identNo);
    page.doctor = page.grid.field<TwwDBEdit>(names.doctor);
    page.site = page.grid.field<TwwDBEdit>(names.site);
    page.scheme = page.grid.field<TwwDBRichEdit>(names.scheme);
    page.remark = page.grid.field<TwwDBRichEdit>(names.remark);

    // The scheme row's caption: the flat button of the scheme command, or
    // the plain caption while that command is hidden.
    QWidget *container = page.grid.container;
    page.schemeButton = new TSpeedButton(container);
    page.schemeButton->setObjectName(QString::fromLatin1(names.schemeButton));
    page.schemeButton->setFocusPolicy(Qt::NoFocus);
    page.schemeButton->setDefaultAction(schemeCommand);
    page.schemeCaption = new TLabel(container);
    page.schemeCaption->setObjectName(QString::fromLatin1(names.scheme).mid(3).prepend("lbl") +
                                      "Caption");
    page.schemeCaption->setText(QStringLiteral("疗养方案"));
    page.schemeCaption->setBuddy(page.scheme);
    page.grid.layout->addWidget(page.schemeButton, kSchemeRow, 0, Qt::AlignLeft | Qt::AlignTop);
    page.grid.layout->addWidget(page.schemeCaption, kSchemeRow, 0, Qt::AlignLeft | Qt::AlignTop);
    return page;
}

void letTestPageBodyGrow(const TestPage &page)
{
    // The page's column holds the grid, then a stretch.
    auto *column = static_cast<QVBoxLayout *>(page.grid.container->parentWidget()->layout());
    column->setStretch(0, 1);
    column->setStretch(1, 0);
    page.grid.layout->setRowStretch(kFirstBodyRow, 1);
}

void setTestPageHeaderEditState(const TestPage &page, bool editable)
{
    const TColor color =
        editable ? InterfaceRecord->GetEditableColor() : InterfaceRecord->GetReadOnlyColor();
    for (IControlKind *field :
         std::initializer_list<IControlKind *>{page.doctor, page.site, page.name, page.identNo,
                                               page.testTime, page.remark, page.scheme}) {
        field->setReadOnlyFlag(!editable);
        field->setColor(color);
    }
    page.testType->setColor(color);
}

QString schemeHelpText(const QStringList &points)
{
    return "\n" + points.join("\n\n");
}

QString databaseEditionSentence()
{
    return QStringLiteral("如需保存客户资料、测试记录和诊疗记录，请使用本软件的数据库版本。");
}

} // namespace tizhi
