#include "uniMedDiaClientInfoEdit.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "page_frame.h"
#include "record_form.h"
#include "rtf.h"
#include "uniChineseMedicinePublic.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QGridLayout>
#include <QTextCursor>
#include <QVBoxLayout>

using namespace tizhi;

namespace {

// Page indexes of pgcClient.
enum Page { BaseInfo = 0, Test33 = 1, Test66 = 2, Diagnose = 3, Contact = 4 };

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

// The header fields of a test page ("CMH33" or "CMH"), then its scheme and
// remark boxes.
QList<FieldDef> testPageFields(const char *const names[8])
{
    return {
        {"测试类型", names[0], K::Lookup, 0, 0, 128},
        {"测试时间", names[1], K::DateTime, 0, 1, 128},
        {"客户姓名", names[2], K::Edit, 0, 2, 192},
        {"证件号码", names[3], K::Edit, 0, 3, 192},
        {"保健医生", names[4], K::Edit, 1, 0, 339},
        {"保健地点", names[5], K::Edit, 1, 2, 470},
        {"疗养方案", names[6], K::RichText, 2, 0, 893, 228},
        {"备注说明", names[7], K::RichText, 3, 0, 893, 118},
    };
}

const char *const kTest33Names[8] = {"edtCMH33TestType", "edtCMH33TestTime", "edtCMH33Name",
                                     "edtCMH33IdentNo",  "edtCMH33Doctor",   "edtCMH33Site",
                                     "edtCMH33ConSch",   "edtCMH33Remark"};
const char *const kTest66Names[8] = {"edtCMHTestType",         "edtCMHTestTime", "edtCMHName",
                                     "edtCMHIdentNo",          "edtCMHDoctor",   "edtCMHSite",
                                     "edtCMHConvalesceScheme", "edtCMHRemark"};

// Help texts of the two scheme boxes: numbered points, each followed by an
// empty line, after a leading line break.
QString helpText(const QStringList &points)
{
    return "\n" + points.join("\n\n");
}

const QString kDatabaseEditionSentence =
    QStringLiteral("如需保存客户资料、测试记录和诊疗记录，请使用本软件的数据库版本。");

const QStringList kHelp33 = {
    QStringLiteral(
        "1、在按钮【单项原始分数】下面的文本框可以输入具体的数字；或者单击那些【数字按钮】。"),
    QStringLiteral("2、单击按钮【单项原始分数】可以初始化所有数字文本框。"),
    QStringLiteral("3、让光标在【数字文本框】之间切换，可以自动计算【体质分数、结果】。"),
    QStringLiteral("4、单击按钮【体质辨识】，可以自动计算【体质分数、结果】。"),
    QStringLiteral("5、单击按钮【疗养方案】，可以自动计算【体质分数、结果】。"),
    QStringLiteral("6、双击某些【文本框】，可以全屏浏览文字。"),
    QStringLiteral("7、本软件不能保存数据，只能计算体质分数、结果。") + kDatabaseEditionSentence,
};

const QStringList kHelp66 = {
    QStringLiteral("1、单击按钮【>>>】可以切换到【体质测试项目窗口】。"),
    QStringLiteral("2、双击【体质各项文本框】可以切换到【体质测试项目窗口】。"),
    QStringLiteral("3、让光标在【体质各项文本框】之间切换，可以自动计算【体质分数、结果】。"),
    QStringLiteral("4、单击按钮【疗养方案】，可以自动计算【体质分数、结果】。"),
    QStringLiteral("5、双击某些【文本框】，可以全屏浏览文字。"),
    QStringLiteral("6、本软件不能保存数据，只能计算体质分数、结果。") + kDatabaseEditionSentence,
};

template <class Kind> Kind *findKind(const QObject *window, const char *name)
{
    return window->findChild<Kind *>(QString::fromLatin1(name));
}

} // namespace

TfrmMedDiaClientInfoEdit::TfrmMedDiaClientInfoEdit(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMedDiaClientInfoEdit"));
    setWindowTitle(QStringLiteral("中医体质辨识"));
    resize(1209, 598);
    frmMedDiaClientInfoEdit = this;
    createActions();
    createPages();
    connectHandlers();
    FormCreate();
}

TfrmMedDiaClientInfoEdit::~TfrmMedDiaClientInfoEdit()
{
    if (frmMedDiaClientInfoEdit == this)
        frmMedDiaClientInfoEdit = nullptr;
}

QAction *TfrmMedDiaClientInfoEdit::addCommand(const QString &name, const QString &caption,
                                              const QString &hint)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    action->setToolTip(hint.isEmpty() ? caption : hint);
    // Commands without behaviour in this edition are shown disabled; the
    // ones that act are enabled where they are connected.
    action->setEnabled(false);
    return action;
}

QAction *TfrmMedDiaClientInfoEdit::command(const QString &name) const
{
    return findChild<QAction *>(name);
}

void TfrmMedDiaClientInfoEdit::createActions()
{
    addCommand("actQuit", "Quit");
    addCommand("actInsert33", "Insert 33");
    addCommand("actInsert66", "Insert 66");
    addCommand("actInsertMD", "Insert MD");
    addCommand("actInsertCR", "Insert CR");
    addCommand("actFind", "Find");
    addCommand("actCMHPrintSet", "打印设置");
    addCommand("actClearReportTempFile", "清除报表临时文件");
    addCommand("actCMH33ConSch", "疗养方案");
    addCommand("actCMHConvalesceScheme", "疗养方案");
    addCommand("actCMHSaveExpandItem", "保存扩展项目");
    addCommand("actCBISaveExpandItem", "保存扩展项目");
    addCommand("actMDRSaveExpandItem", "保存扩展项目");
    // The record commands of every page.
    for (const QString prefix : {"CBI", "MDR", "CR", "CMH33", "CMH"}) {
        addCommand("act" + prefix + "New", "Insert", "Insert new record");
        addCommand("act" + prefix + "Delete", "Delete", "Delete current record");
        addCommand("act" + prefix + "Edit", "Edit", "Edit current record");
        addCommand("act" + prefix + "Save", "Save", "Post changes of current record");
        addCommand("act" + prefix + "Cancel", "Cancel", "Cancel changes made to current record");
        addCommand("act" + prefix + "Refresh", "Refresh", "Refresh the contents of the dataset");
    }
    addCommand("actMDRPrint", "打印");
    addCommand("actCMH33Print", "打印");
    addCommand("actCMHPrint", "打印");

    for (const char *name : {"actQuit", "actInsert33", "actInsert66", "actInsertMD", "actInsertCR"})
        command(name)->setEnabled(true);
}

// Everything that tells one page from another; the frame and the field grid
// are built alike for all five.
struct tizhi::PageDef {
    const char *name;
    const char *caption;
    const char *navigator;
    const char *grid;
    const char *notice;
    const char *recordPrefix;   // the six record commands act<prefix>New ...
    bool hasFind;               // actFind before the record commands
    QStringList middleCommands; // between the record commands and the bookmarks
    const char *filterHint;
    QList<QPair<QString, int>> gridColumns;
    QList<FieldDef> fields;
    const char *menuField = nullptr; // the field with a "保存扩展项目" menu
    const char *menuCommand = nullptr;
};

namespace {

const QList<QPair<QString, int>> kTestGridColumns = {
    {"V_NAME", 12}, {"V_IDENT_NO", 16}, {"T_TEST_TIME", 18}};

const QList<PageDef> kPages = {
    {"tabClientBaseInfo",
     "基础信息",
     "navCBIButton",
     "grdCBIMaster",
     "memAdvertising1",
     "CBI",
     true,
     {"actInsert33", "actInsert66", "actInsertMD", "actInsertCR"},
     "Filter",
     {{"V_NAME", 12}, {"V_IDENT_NO", 16}, {"V_IDENT_TYPE", 8}, {"V_SEX", 8}},
     kBaseInfoFields,
     "edtRemark",
     "actCBISaveExpandItem"},
    {"tabChiMedHabitus33",
     "中老年人体质测试",
     "navCMH33Button",
     "grdCMH33Master",
     "memAdvertising2",
     "CMH33",
     true,
     {"actCMH33Print", "actCMHPrintSet", "actClearReportTempFile"},
     "Filter",
     kTestGridColumns,
     testPageFields(kTest33Names),
     "edtCMH33ConSch",
     "actCMHSaveExpandItem"},
    {"tabChiMedHabitus",
     "中医体质测试",
     "navCMHButton",
     "grdCMHMaster",
     "memAdvertising3",
     "CMH",
     true,
     {"actCMHPrint", "actCMHPrintSet", "actClearReportTempFile"},
     "Filter",
     kTestGridColumns,
     testPageFields(kTest66Names),
     "edtCMHConvalesceScheme",
     "actCMHSaveExpandItem"},
    {"tabDiagnoseRecord",
     "诊疗记录",
     "navMDRButton",
     "grdMDRMaster",
     "memAdvertising4",
     "MDR",
     true,
     {"actMDRPrint", "actCMHPrintSet", "actClearReportTempFile"},
     "Filter",
     {{"V_NAME", 12}, {"V_IDENT_NO", 16}, {"T_TREAT_TIME", 18}},
     kDiagnoseFields,
     "edtMDRConvalesceScheme",
     "actMDRSaveExpandItem"},
    {"tabCardCountRecord",
     "回访联络记录",
     "navCRButton",
     "grdCRMaster",
     "memAdvertising5",
     "CR",
     false,
     {},
     "Filter the dataset",
     {{"V_NAME", 12}, {"V_IDENT_NO", 16}, {"T_CON_TIME", 18}, {"T_CON_NEXT_TIME", 18}},
     kContactFields},
};

} // namespace

void TfrmMedDiaClientInfoEdit::createPages()
{
    pgcClient = new TPageControl(this);
    pgcClient->setObjectName(QStringLiteral("pgcClient"));
    setCentralWidget(pgcClient);
    for (const PageDef &def : kPages) {
        auto *tab = new QWidget(pgcClient);
        tab->setObjectName(QString::fromLatin1(def.name));
        createPage(tab, def);
        pgcClient->addTab(tab, QString::fromUtf8(def.caption));
    }
    // The two look-up boxes that show the names of codes in page 0's record list.
    auto *grid = findChild<TwwDBGrid *>(QStringLiteral("grdCBIMaster"));
    for (const char *name : {"edtGrdIdentType", "edtGrdSex"}) {
        auto *lookup = new TwwDBLookupCombo(grid);
        lookup->setObjectName(QString::fromLatin1(name));
        lookup->hide();
    }
}

void TfrmMedDiaClientInfoEdit::createPage(QWidget *page, const PageDef &def)
{
    auto buttons = [this](const QStringList &names) {
        QList<ToolbarButton> list;
        for (const QString &name : names)
            list << ToolbarButton{{}, {}, command(name)};
        return list;
    };
    QStringList records;
    for (const char *suffix : {"New", "Delete", "Edit", "Save", "Cancel", "Refresh"})
        records << QStringLiteral("act%1%2").arg(def.recordPrefix, suffix);

    PageFrameSpec spec{def.navigator, def.grid, def.notice, {}, def.gridColumns};
    spec.buttons = leadingNavigatorButtons() +
                   buttons(def.hasFind ? QStringList{"actFind"} : QStringList{}) +
                   buttons(records) + buttons(def.middleCommands) +
                   trailingNavigatorButtons(def.filterHint) + buttons({"actQuit"});
    const PageFrame frame = buildPageFrame(page, spec);
    buildFieldGrid(frame.content, def.fields);
    if (def.menuField) {
        auto *field = findKind<TwwDBRichEdit>(page, def.menuField);
        field->setContextMenuPolicy(Qt::ActionsContextMenu);
        field->addAction(command(def.menuCommand));
    }
}

void TfrmMedDiaClientInfoEdit::connectHandlers()
{
    connect(command("actQuit"), &QAction::triggered, this,
            &TfrmMedDiaClientInfoEdit::actQuitExecute);
    connect(command("actInsert33"), &QAction::triggered, this,
            &TfrmMedDiaClientInfoEdit::actInsert33Execute);
    connect(command("actInsert66"), &QAction::triggered, this,
            &TfrmMedDiaClientInfoEdit::actInsert66Execute);
    connect(command("actInsertMD"), &QAction::triggered, this,
            &TfrmMedDiaClientInfoEdit::actInsertMDExecute);
    connect(command("actInsertCR"), &QAction::triggered, this,
            &TfrmMedDiaClientInfoEdit::actInsertCRExecute);

    // Enter moves on from every data field of the pages, except the remark
    // fields of the diagnosis and contact records and the look-up boxes in
    // the record list; typing into a look-up box does nothing.
    const QList<const QList<FieldDef> *> recordPages = {&kBaseInfoFields, &kDiagnoseFields,
                                                        &kContactFields};
    QList<FieldDef> all;
    for (const auto *fields : recordPages)
        all += *fields;
    for (const auto *names : {kTest33Names, kTest66Names}) {
        const QList<FieldDef> header = testPageFields(names);
        all += header.mid(0, 6); // the header fields
        all << header[6];        // the scheme box; the remark box keeps Enter
    }
    for (const FieldDef &def : all) {
        auto *kind = controlKind(findChild<QWidget *>(QString::fromLatin1(def.name)));
        if (!kind)
            continue;
        if (def.enterMovesOn)
            connect(kind->events(), &ControlEvents::keyDown, this,
                    &TfrmMedDiaClientInfoEdit::edtVerifyIfKeyDown);
        if (def.kind == K::Lookup)
            connect(kind->events(), &ControlEvents::keyPressed, this,
                    &TfrmMedDiaClientInfoEdit::edtVerifyIfKeyPress);
    }

    for (int n = 1; n <= 5; ++n) {
        auto *panel = findChild<TRichEdit *>(QStringLiteral("memAdvertising%1").arg(n));
        connect(panel->events(), &ControlEvents::doubleClicked, this,
                &TfrmMedDiaClientInfoEdit::memAdvertisingDblClick);
    }
    connect(findKind<TwwDBRichEdit>(this, "edtCMH33ConSch")->events(),
            &ControlEvents::doubleClicked, this, &TfrmMedDiaClientInfoEdit::edtCMH33ConSchDblClick);
    connect(findKind<TwwDBRichEdit>(this, "edtCMHConvalesceScheme")->events(),
            &ControlEvents::doubleClicked, this,
            &TfrmMedDiaClientInfoEdit::edtCMHConvalesceSchemeDblClick);
}

void TfrmMedDiaClientInfoEdit::FormCreate()
{
    // 1. Appearance: the settings are made once for the whole program.
    if (!InterfaceRecord)
        InterfaceRecord = new TInterfaceRecord;
    InterfaceRecord->CreateFonts();
    InterfaceRecord->LoadInterfaceEnv();
    ApplyInterfaceEnv(InterfaceRecord, this);
    SetFormEditState(this, false);

    // 2. The window opens on the 33-item test.
    pgcClient->setCurrentIndex(Test33);

    // 4. Print setup is hidden.
    command("actCMHPrintSet")->setVisible(false);

    // 6. Open the editable fields of the two test pages.
    SetPage66EditState(true);
    SetPage33EditState(true);

    // 7. Close the look-up boxes and rich-text fields, start the pickers.
    // Only widgets: filling a rich-text box replaces the objects inside its
    // document, which a walk over all objects would then meet deleted.
    const QDateTime started = QDateTime::currentDateTime();
    for (QWidget *object : findChildren<QWidget *>()) {
        const QByteArray kind = object->metaObject()->className();
        if (kind == "TwwDBLookupCombo") {
            auto *lookup = static_cast<TwwDBLookupCombo *>(object);
            lookup->setColor(InterfaceRecord->GetReadOnlyColor());
            lookup->setReadOnlyFlag(true);
            lookup->setEnabled(false);
        } else if (kind == "TwwDBRichEdit" && object->objectName().startsWith("edt")) {
            auto *rich = static_cast<TwwDBRichEdit *>(object);
            rich->setColor(InterfaceRecord->GetReadOnlyColor());
            rich->setReadOnlyFlag(true);
            rich->setPlainText(QStringLiteral("*"));
        } else if (kind == "TwwDBDateTimePicker") {
            static_cast<TwwDBDateTimePicker *>(object)->setDateTime(started);
        }
    }
    for (const auto &[name, text] :
         {std::pair{"edtCMH33TestType", kTestType33}, std::pair{"edtCMHTestType", kTestType66}}) {
        auto *box = findKind<TwwDBLookupCombo>(this, name);
        box->addItem(QString::fromUtf8(text.data(), qsizetype(text.size())));
        box->setCurrentIndex(0);
    }

    // 8. The help texts of the scheme boxes, at 12 points.
    for (const auto &[name, points] :
         {std::pair{"edtCMH33ConSch", &kHelp33}, std::pair{"edtCMHConvalesceScheme", &kHelp66}}) {
        auto *scheme = findKind<TwwDBRichEdit>(this, name);
        scheme->setFontSize(12);
        scheme->setPlainText(helpText(*points));
    }

    // 10. The notice panels: enabled, 12 points.
    fillNoticePanels();
    for (int n = 1; n <= 5; ++n) {
        auto *panel = findChild<TRichEdit *>(QStringLiteral("memAdvertising%1").arg(n));
        panel->setEnabled(true);
        panel->setFontSize(12);
    }
}

// The notice lives in the library's resources, which a static library must
// register itself.
static void initNoticeResource()
{
    Q_INIT_RESOURCE(main_window);
}

void TfrmMedDiaClientInfoEdit::fillNoticePanels()
{
    initNoticeResource();
    // The notice is stored with the program as RTF (GBK, 8 points).
    QFile notice(QStringLiteral(":/main_window/notice.rtf"));
    const QByteArray rtfBytes = notice.open(QIODevice::ReadOnly) ? notice.readAll() : QByteArray();
    for (int n = 1; n <= 5; ++n) {
        auto *panel = findChild<TRichEdit *>(QStringLiteral("memAdvertising%1").arg(n));
        rtf::read(rtfBytes, *panel->document());
        panel->moveCursor(QTextCursor::Start);
    }
}

void TfrmMedDiaClientInfoEdit::setHeaderEditState(const char *const names[8], bool editable)
{
    // The header fields, scheme and remark boxes open and close; the
    // test-type box only takes the colour.
    const TColor color =
        editable ? InterfaceRecord->GetEditableColor() : InterfaceRecord->GetReadOnlyColor();
    for (int i = 1; i < 8; ++i) {
        auto *kind = controlKind(findChild<QWidget *>(QString::fromLatin1(names[i])));
        kind->setReadOnlyFlag(!editable);
        kind->setColor(color);
    }
    controlKind(findChild<QWidget *>(QString::fromLatin1(names[0])))->setColor(color);
}

void TfrmMedDiaClientInfoEdit::SetPage33EditState(bool editable)
{
    setHeaderEditState(kTest33Names, editable);
}

void TfrmMedDiaClientInfoEdit::SetPage66EditState(bool editable)
{
    setHeaderEditState(kTest66Names, editable);
}

bool TfrmMedDiaClientInfoEdit::mayExecute(const QAction *action)
{
    return action && action->isEnabled() && action->isVisible();
}

void TfrmMedDiaClientInfoEdit::actQuitExecute()
{
    if (mayExecute(command("actQuit")))
        close();
}

void TfrmMedDiaClientInfoEdit::selectPage(QAction *action, int index)
{
    if (mayExecute(action))
        pgcClient->setCurrentIndex(index);
}

void TfrmMedDiaClientInfoEdit::actInsert33Execute()
{
    selectPage(command("actInsert33"), Test33);
}

void TfrmMedDiaClientInfoEdit::actInsert66Execute()
{
    selectPage(command("actInsert66"), Test66);
}

void TfrmMedDiaClientInfoEdit::actInsertMDExecute()
{
    selectPage(command("actInsertMD"), Diagnose);
}

void TfrmMedDiaClientInfoEdit::actInsertCRExecute()
{
    selectPage(command("actInsertCR"), Contact);
}

void TfrmMedDiaClientInfoEdit::edtVerifyIfKeyDown(QWidget *, int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        focusNextChild();
}

void TfrmMedDiaClientInfoEdit::edtVerifyIfKeyPress(QWidget *, QChar &key)
{
    key = QChar(); // nothing is typed into a look-up box
}

void TfrmMedDiaClientInfoEdit::showFullScreen(QWidget *sender)
{
    ShowRichTextFullScreen(qobject_cast<QTextEdit *>(sender));
    ReleaseFullScreenViewer();
}

void TfrmMedDiaClientInfoEdit::memAdvertisingDblClick(QWidget *sender)
{
    showFullScreen(sender);
}

void TfrmMedDiaClientInfoEdit::edtCMH33ConSchDblClick(QWidget *sender)
{
    showFullScreen(sender);
}

void TfrmMedDiaClientInfoEdit::edtCMHConvalesceSchemeDblClick(QWidget *sender)
{
    showFullScreen(sender);
}

void TfrmMedDiaClientInfoEdit::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TfrmMedDiaClientInfoEdit::FormClose()
{
    // Closing frees the window; being the main window, that ends the program.
    setAttribute(Qt::WA_DeleteOnClose);
    frmMedDiaClientInfoEdit = nullptr;
}
