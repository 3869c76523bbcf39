#include "uniMedDiaClientInfoEdit.h"

#include "catalogue.h"
#include "control_kinds.h"
#include "record_pages.h"
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

// The notice lives in the library's resources, which a static library must
// register itself.
static void initNoticeResource()
{
    Q_INIT_RESOURCE(main_window);
}

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
    return findChild<QAction *>(name, Qt::FindDirectChildrenOnly);
}

QAction *TfrmMedDiaClientInfoEdit::requiredCommand(const QString &name) const
{
    QAction *action = command(name);
    if (!action)
        missingControl("QAction", name.toLatin1().constData());
    return action;
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
    addCommand("actCalcBMI", QString()); // shows question 9's prompt
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
        requiredCommand(name)->setEnabled(true);
}

namespace {

// Everything that tells one page's frame from another's.
struct PageDef {
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
    const char *menuField = nullptr; // the field with a "保存扩展项目" menu
    const char *menuCommand = nullptr;
};

const QList<QPair<QString, int>> kTestGridColumns = {
    {"V_NAME", 12}, {"V_IDENT_NO", 16}, {"T_TEST_TIME", 18}};

// In the order of pgcClient's pages.
const std::array<PageDef, 5> kPages = {{
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
     {{"V_NAME", 12}, {"V_IDENT_NO", 16}, {"T_CON_TIME", 18}, {"T_CON_NEXT_TIME", 18}}},
}};

} // namespace

void TfrmMedDiaClientInfoEdit::createPages()
{
    pgcClient = new TPageControl(this);
    pgcClient->setObjectName(QStringLiteral("pgcClient"));
    setCentralWidget(pgcClient);
    auto buttons = [this](const QStringList &names) {
        QList<ToolbarButton> list;
        for (const QString &name : names)
            list << ToolbarButton{{}, {}, requiredCommand(name)};
        return list;
    };
    for (std::size_t index = 0; index < kPages.size(); ++index) {
        const PageDef &def = kPages[index];
        auto *tab = new QWidget(pgcClient);
        tab->setObjectName(QString::fromLatin1(def.name));
        QStringList records;
        for (const char *suffix : {"New", "Delete", "Edit", "Save", "Cancel", "Refresh"})
            records << QStringLiteral("act%1%2").arg(def.recordPrefix, suffix);
        PageFrameSpec spec{def.navigator, def.grid, def.notice, {}, def.gridColumns};
        spec.buttons = leadingNavigatorButtons() +
                       buttons(def.hasFind ? QStringList{"actFind"} : QStringList{}) +
                       buttons(records) + buttons(def.middleCommands) +
                       trailingNavigatorButtons(def.filterHint) + buttons({"actQuit"});
        frames_[index] = buildPageFrame(tab, spec);
        pgcClient->addTab(tab, QString::fromUtf8(def.caption));
    }

    baseInfo_ = buildRecordPage(frames_[BaseInfo].content, RecordPage::BaseInfo);
    // Page 2 first: its controls are the ones the record is read from.
    createPage66Body();
    createPage33Body();
    diagnose_ = buildRecordPage(frames_[Diagnose].content, RecordPage::Diagnose);
    contact_ = buildRecordPage(frames_[Contact].content, RecordPage::Contact);

    // The rich-text fields with the "保存扩展项目" menu.
    const std::array<QWidget *, 5> menuFields = {
        baseInfo_.field<TwwDBRichEdit>("edtRemark"), page33_.scheme, page66_.scheme,
        diagnose_.field<TwwDBRichEdit>("edtMDRConvalesceScheme"), nullptr};
    for (std::size_t index = 0; index < kPages.size(); ++index) {
        if (QWidget *field = menuFields[index]) {
            field->setContextMenuPolicy(Qt::ActionsContextMenu);
            field->addAction(requiredCommand(kPages[index].menuCommand));
        }
    }

    // The two look-up boxes that show the names of codes in page 0's record list.
    for (const char *name : {"edtGrdIdentType", "edtGrdSex"}) {
        auto *lookup = new TwwDBLookupCombo(frames_[BaseInfo].grid);
        lookup->setObjectName(QString::fromLatin1(name));
        lookup->hide();
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
    QList<QWidget *> enterMovesOn;
    QList<QWidget *> lookups;
    for (const FieldGrid *grid : {&baseInfo_, &diagnose_, &contact_}) {
        for (const Field &field : grid->fields) {
            if (field.def->enterMovesOn)
                enterMovesOn << field.widget;
            if (field.def->kind == FieldKind::Lookup)
                lookups << field.widget;
        }
    }
    for (const TestPage *page : {&page33_, &page66_}) {
        enterMovesOn += page->enterMovesOn();
        lookups << page->testType;
    }
    for (QWidget *field : enterMovesOn)
        connect(controlKind(field)->events(), &ControlEvents::keyDown, this,
                &TfrmMedDiaClientInfoEdit::edtVerifyIfKeyDown);
    for (QWidget *lookup : lookups)
        connect(controlKind(lookup)->events(), &ControlEvents::keyPressed, this,
                &TfrmMedDiaClientInfoEdit::edtVerifyIfKeyPress);

    for (const PageFrame &frame : frames_)
        connect(frame.notice->events(), &ControlEvents::doubleClicked, this,
                &TfrmMedDiaClientInfoEdit::memAdvertisingDblClick);
    connectPage33Handlers();
    connectPage66Handlers();

    connect(page33_.scheme->events(), &ControlEvents::doubleClicked, this,
            &TfrmMedDiaClientInfoEdit::edtCMH33ConSchDblClick);
    connect(page66_.scheme->events(), &ControlEvents::doubleClicked, this,
            &TfrmMedDiaClientInfoEdit::edtCMHConvalesceSchemeDblClick);
}

void TfrmMedDiaClientInfoEdit::FormCreate()
{
    // The order matters: later steps override what earlier ones set.
    createAppearanceAndCloseFields();       // 1
    selectStartPage();                      // 2
    showSchemeButtons();                    // 3
    hidePrintSetup();                       // 4
    setPage33FixedTexts();                  // 5
    openTestPages();                        // 6
    closeLookupsAndRichTextsStartPickers(); // 7
    fillSchemeHelpTexts();                  // 8
    clearTypeFields();                      // 9
    enableNoticePanels();                   // 10
}

void TfrmMedDiaClientInfoEdit::createAppearanceAndCloseFields()
{
    // The settings are made once for the whole program.
    if (!InterfaceRecord)
        InterfaceRecord = new TInterfaceRecord;
    InterfaceRecord->CreateFonts();
    InterfaceRecord->LoadInterfaceEnv();
    ApplyInterfaceEnv(InterfaceRecord, this);
    SetFormEditState(this, false);
}

void TfrmMedDiaClientInfoEdit::selectStartPage()
{
    pgcClient->setCurrentIndex(Test33);
}

void TfrmMedDiaClientInfoEdit::showSchemeButtons()
{
    // The plain caption stands in for the scheme button only while the
    // scheme command is hidden; both commands are visible in this edition.
    for (const TestPage *page : {&page33_, &page66_}) {
        const QAction *scheme = page->schemeButton->defaultAction();
        page->schemeCaption->setVisible(!scheme->isVisible());
        page->schemeButton->setVisible(scheme->isVisible());
    }
}

void TfrmMedDiaClientInfoEdit::hidePrintSetup()
{
    requiredCommand("actCMHPrintSet")->setVisible(false);
}

void TfrmMedDiaClientInfoEdit::openTestPages()
{
    SetPage66EditState(true);
    SetPage33EditState(true);
}

void TfrmMedDiaClientInfoEdit::closeLookupsAndRichTextsStartPickers()
{
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
    page33_.testType->setText(fromCatalogue(kTestType33));
    page66_.testType->setText(fromCatalogue(kTestType66));
}

void TfrmMedDiaClientInfoEdit::fillSchemeHelpTexts()
{
    for (const auto &[page, points] :
         {std::pair{&page33_, page33HelpPoints()}, std::pair{&page66_, page66HelpPoints()}}) {
        page->scheme->setFontSize(12);
        page->scheme->setPlainText(schemeHelpText(points));
    }
}

void TfrmMedDiaClientInfoEdit::enableNoticePanels()
{
    initNoticeResource();
    // The notice is stored with the program as RTF (GBK, 8 points).
    QFile notice(QStringLiteral(":/main_window/notice.rtf"));
    const QByteArray rtfBytes = notice.open(QIODevice::ReadOnly) ? notice.readAll() : QByteArray();
    for (const PageFrame &frame : frames_) {
        rtf::read(rtfBytes, *frame.notice->document());
        frame.notice->moveCursor(QTextCursor::Start);
        frame.notice->setEnabled(true);
        frame.notice->setFontSize(12);
    }
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

void TfrmMedDiaClientInfoEdit::runAssessment(const std::function<void(AssessmentRecord &)> &assess)
{
    AssessmentRecord record = record_.read();
    QString failure;
    try {
        assess(record);
    } catch (const std::exception &error) {
        // What was computed before the error stays, as on screen so far.
        failure = QString::fromUtf8(error.what());
    }
    record_.write(record);
    if (!failure.isEmpty())
        ShowStandardError(this, failure);
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
