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
        },
        {
            // The scheme row's caption is the scheme button, placed by the page.
            {nullptr, names.scheme, K::RichText, 0, 0, 893, 228},
            {"备注说明", names.remark, K::RichText, 1, 0, 893, 118},
        },
    };
}

QList<QWidget *> TestPage::enterMovesOn() const
{
    return {testType, testTime, name, identNo, doctor, site, scheme};
}

TestPage buildTestPage(QWidget *content, const TestPageDefs &defs, QAction *schemeCommand)
{
    const TestPageNames &names = defs.names;
    TestPage page;
    auto *column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    page.header = buildFieldGrid(content, defs.header);
    page.testType = page.header.field<TwwDBLookupCombo>(names.testType);
    page.testTime = page.header.field<TwwDBDateTimePicker>(names.testTime);
    page.name = page.header.field<TwwDBEdit>(names.name);
    page.identNo = page.header.field<TwwDBEdit>(names.identNo);
    page.doctor = page.header.field<TwwDBEdit>(names.doctor);
    page.site = page.header.field<TwwDBEdit>(names.site);
    column->addWidget(page.header.container);

    page.body = new QWidget(content);
    page.body->setObjectName(QString::fromLatin1(names.body));
    page.bodyLayout = new QVBoxLayout(page.body);
    page.bodyLayout->setContentsMargins(11, 0, 11, 0);
    page.bodyLayout->setSpacing(0);
    column->addWidget(page.body);

    page.footer = buildFieldGrid(content, defs.footer);
    page.scheme = page.footer.field<TwwDBRichEdit>(names.scheme);
    page.remark = page.footer.field<TwwDBRichEdit>(names.remark);
    column->addWidget(page.footer.container);
    column->addStretch(1);

    // The scheme row's caption: the flat button of the scheme command, or
    // the plain caption while that command is hidden.
    page.schemeButton = new TSpeedButton(page.footer.container);
    page.schemeButton->setObjectName(QString::fromLatin1(names.schemeButton));
    page.schemeButton->setFocusPolicy(Qt::NoFocus);
    page.schemeButton->setDefaultAction(schemeCommand);
    page.schemeCaption = new TLabel(page.footer.container);
    page.schemeCaption->setObjectName(QString::fromLatin1(names.scheme).mid(3).prepend("lbl") +
                                      "Caption");
    page.schemeCaption->setText(QStringLiteral("疗养方案"));
    page.schemeCaption->setBuddy(page.scheme);
    page.footer.layout->addWidget(page.schemeButton, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    page.footer.layout->addWidget(page.schemeCaption, 0, 0, Qt::AlignLeft | Qt::AlignTop);

    alignCaptionColumns({&page.header, &page.footer}, page.schemeButton->sizeHint().width());
    return page;
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
