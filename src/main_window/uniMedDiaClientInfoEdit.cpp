#include "uniMedDiaClientInfoEdit.h"

#include "base_info_page.h"
#include "catalogue.h"
#include "contact_page.h"
#include "control_kinds.h"
#include "database.h"
#include "database_edition.h"
#include "diagnose_page.h"
#include "edition.h"
#include "page33.h"
#include "page66.h"
#include "rtf.h"
#include "test_record_view.h"
#include "test_records.h"
#include "uniCalcBMI.h"
#include "uniChineseMedicinePublic.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QFile>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QTextCursor>

using namespace tizhi;

// The notice lives in the library's resources, which a static library must
// register itself.
static void initNoticeResource()
{
    Q_INIT_RESOURCE(main_window);
}

namespace {

using Command = QAction *WindowCommands::*;

// Everything that tells one page's frame from another's.
struct PageDef {
    const char *name;
    const char *caption;
    const char *navigator;
    const char *grid;
    const char *notice;
    RecordCommands WindowCommands::*records; // the six record commands
    bool hasFind;                            // actFind before the record commands
    QList<Command> middleCommands;           // between the record commands and the bookmarks
    const char *filterHint;
    QList<QPair<QString, int>> gridColumns;
    Command menuCommand = nullptr; // the "保存扩展项目" menu of the page's rich-text field
};

const QList<QPair<QString, int>> kTestGridColumns = {
    {"V_NAME", 12}, {"V_IDENT_NO", 16}, {"T_TEST_TIME", 18}};

using C = WindowCommands;

// In the order of pgcClient's pages.
const std::array<PageDef, 5> kPages = {{
    {"tabClientBaseInfo",
     "基础信息",
     "navCBIButton",
     "grdCBIMaster",
     "memAdvertising1",
     &C::cbi,
     true,
     {&C::actInsert33, &C::actInsert66, &C::actInsertMD, &C::actInsertCR},
     "Filter",
     {{"V_NAME", 12}, {"V_IDENT_NO", 16}, {"V_IDENT_TYPE", 8}, {"V_SEX", 8}},
     &C::actCBISaveExpandItem},
    {"tabChiMedHabitus33",
     "中老年人体质测试",
     "navCMH33Button",
     "grdCMH33Master",
     "memAdvertising2",
     &C::cmh33,
     true,
     {&C::actCMH33Print, &C::actCMHPrintSet, &C::actClearReportTempFile},
     "Filter",
     kTestGridColumns,
     &C::actCMHSaveExpandItem},
    {"tabChiMedHabitus",
     "中医体质测试",
     "navCMHButton",
     "grdCMHMaster",
     "memAdvertising3",
     &C::cmh,
     true,
     {&C::actCMHPrint, &C::actCMHPrintSet, &C::actClearReportTempFile},
     "Filter",
     kTestGridColumns,
     &C::actCMHSaveExpandItem},
    {"tabDiagnoseRecord",
     "诊疗记录",
     "navMDRButton",
     "grdMDRMaster",
     "memAdvertising4",
     &C::mdr,
     true,
     {&C::actMDRPrint, &C::actCMHPrintSet, &C::actClearReportTempFile},
     "Filter",
     {{"V_NAME", 12}, {"V_IDENT_NO", 16}, {"T_TREAT_TIME", 18}},
     &C::actMDRSaveExpandItem},
    {"tabCardCountRecord",
     "回访联络记录",
     "navCRButton",
     "grdCRMaster",
     "memAdvertising5",
     &C::cr,
     false,
     {},
     "Filter the dataset",
     {{"V_NAME", 12}, {"V_IDENT_NO", 16}, {"T_CON_TIME", 18}, {"T_CON_NEXT_TIME", 18}}},
}};

// A page's toolbar, left to right: the moving buttons, Find, the record
// commands, the page's own commands, the bookmark and search buttons, Quit.
QList<ToolbarButton> toolbarOf(const PageDef &def, const WindowCommands &commands)
{
    const RecordCommands &records = commands.*def.records;
    QList<QAction *> shown;
    if (def.hasFind)
        shown << commands.actFind;
    shown << records.insert << records.remove << records.edit << records.save << records.cancel
          << records.refresh;
    for (const Command command : def.middleCommands)
        shown << commands.*command;
    QList<ToolbarButton> buttons = leadingNavigatorButtons();
    for (QAction *command : shown)
        buttons << ToolbarButton{{}, {}, command};
    buttons << trailingNavigatorButtons(def.filterHint) << ToolbarButton{{}, {}, commands.actQuit};
    return buttons;
}

} // namespace

TfrmMedDiaClientInfoEdit::TfrmMedDiaClientInfoEdit(QWidget *parent)
    : QMainWindow(parent), commands_(createWindowCommands(this))
{
    setObjectName(QStringLiteral("frmMedDiaClientInfoEdit"));
    setWindowTitle(QStringLiteral("中医体质辨识"));
    resize(1209, 598);
    frmMedDiaClientInfoEdit = this;
    createFrames();
    createPages();
    connectHandlers();
    FormCreate();
    // After FormCreate, which selects the start page without moving the focus.
    shownPage_ = pgcClient->currentIndex();
    connect(pgcClient, &QTabWidget::currentChanged, this,
            &TfrmMedDiaClientInfoEdit::pgcClientChange);
}

TfrmMedDiaClientInfoEdit::~TfrmMedDiaClientInfoEdit()
{
    if (frmMedDiaClientInfoEdit == this)
        frmMedDiaClientInfoEdit = nullptr;
}

void TfrmMedDiaClientInfoEdit::createFrames()
{
    pgcClient = new TPageControl(this);
    pgcClient->setObjectName(QStringLiteral("pgcClient"));
    setCentralWidget(pgcClient);
    for (std::size_t index = 0; index < kPages.size(); ++index) {
        const PageDef &def = kPages[index];
        auto *tab = new QWidget(pgcClient);
        tab->setObjectName(QString::fromLatin1(def.name));
        const PageFrameSpec spec{def.navigator, def.grid, def.notice, toolbarOf(def, commands_),
                                 def.gridColumns};
        frames_[index] = buildPageFrame(tab, spec);
        pgcClient->addTab(tab, QString::fromUtf8(def.caption));
    }
}

void TfrmMedDiaClientInfoEdit::createPages()
{
    baseInfo_ = std::make_unique<BaseInfoPage>(frames_[BaseInfo].content);
    // Page 2 first: its controls are the ones the record is read from.
    page66_ = std::make_unique<Page66>(this, frames_[Test66], commands_, record_);
    page33_ = std::make_unique<Page33>(this, frames_[Test33], commands_, record_);
    diagnose_ = std::make_unique<DiagnosePage>(frames_[Diagnose].content);
    contact_ = std::make_unique<ContactPage>(frames_[Contact].content);
    addSaveExpandItemMenus();
    record33_ = record_.within(pgcClient->widget(Test33));
    record66_ = record_.within(pgcClient->widget(Test66));

    // The two look-up boxes that show the names of codes in page 0's record list.
    for (const char *name : {"edtGrdIdentType", "edtGrdSex"}) {
        auto *lookup = new TwwDBLookupCombo(frames_[BaseInfo].grid);
        lookup->setObjectName(QString::fromLatin1(name));
        lookup->hide();
    }
}

void TfrmMedDiaClientInfoEdit::addSaveExpandItemMenus()
{
    const std::array<QWidget *, 5> menuFields = {baseInfo_->remark(), page33_->header().scheme,
                                                 page66_->header().scheme, diagnose_->scheme(),
                                                 nullptr};
    for (std::size_t index = 0; index < kPages.size(); ++index) {
        if (QWidget *field = menuFields[index]) {
            field->setContextMenuPolicy(Qt::ActionsContextMenu);
            field->addAction(commands_.*kPages[index].menuCommand);
        }
    }
}

void TfrmMedDiaClientInfoEdit::connectHandlers()
{
    using W = TfrmMedDiaClientInfoEdit;
    for (const auto &[command, handler] : {
             std::pair{commands_.actQuit, &W::actQuitExecute},
             std::pair{commands_.actInsert33, &W::actInsert33Execute},
             std::pair{commands_.actInsert66, &W::actInsert66Execute},
             std::pair{commands_.actInsertMD, &W::actInsertMDExecute},
             std::pair{commands_.actInsertCR, &W::actInsertCRExecute},
             std::pair{commands_.actCMH33ConSch, &W::actCMH33ConSchExecute},
             std::pair{commands_.actCalcBMI, &W::actCalcBMIExecute},
             std::pair{commands_.actCMHConvalesceScheme, &W::actCMHConvalesceSchemeExecute},
         }) {
        command->setEnabled(true);
        connect(command, &QAction::triggered, this, handler);
    }

    // Enter moves on from every field marked so where it was made, with one
    // handler; typing into such a look-up box does nothing.
    for (QWidget *field : findChildren<QWidget *>()) {
        if (!enterMovesOn(field))
            continue;
        connect(controlKind(field)->events(), &ControlEvents::keyDown, this,
                &W::edtVerifyIfKeyDown);
        if (qobject_cast<TwwDBLookupCombo *>(field))
            connect(controlKind(field)->events(), &ControlEvents::keyPressed, this,
                    &W::edtVerifyIfKeyPress);
    }

    for (const PageFrame &frame : frames_)
        connect(frame.notice->events(), &ControlEvents::doubleClicked, this,
                &W::memAdvertisingDblClick);
    connect(page33_->header().scheme->events(), &ControlEvents::doubleClicked, this,
            &W::edtCMH33ConSchDblClick);
    connect(page66_->header().scheme->events(), &ControlEvents::doubleClicked, this,
            &W::edtCMHConvalesceSchemeDblClick);
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
    // The database edition, when one was chosen, comes alive on top.
    openDatabaseEdition();
}

void TfrmMedDiaClientInfoEdit::openDatabaseEdition()
{
    const auto &settings = chosenDatabase();
    if (!settings)
        return;
    auto database = std::make_unique<Database>(*settings);
    if (const QString error = database->open(); !error.isEmpty()) {
        // Said once; the test pages work as in the edition that keeps nothing.
        QMessageBox::warning(this, kProgramCaption,
                             error + QStringLiteral("\n\n本次运行不连接数据库，不保存数据。"));
        return;
    }
    database_ = new DatabaseEdition(this, std::move(database), databasePages(), commands_);
    fillSchemeHelpTexts();
}

DatabaseEdition::Pages TfrmMedDiaClientInfoEdit::databasePages()
{
    DatabaseEdition::Pages pages{&baseInfo_->grid(),
                                 &diagnose_->grid(),
                                 &contact_->grid(),
                                 frames_[BaseInfo],
                                 frames_[Diagnose],
                                 frames_[Contact],
                                 frames_[Test33],
                                 frames_[Test66],
                                 {},
                                 {},
                                 {}};
    pages.makeTest33View = [this](std::function<bool()> linked) {
        return std::make_unique<TestRecordView>(TestRecordView::Parts{
            kForm33Code, &page33_->header(), record33_, page33_.get(), nullptr,
            [this](bool editable) { SetPage33EditState(editable); }, std::move(linked)});
    };
    pages.showPage = [this](int page) {
        pgcClient->setCurrentIndex(page);
        return pgcClient->currentIndex() == page;
    };
    pages.makeTest66View = [this](std::function<bool()> linked) {
        return std::make_unique<TestRecordView>(TestRecordView::Parts{
            kForm66Code, &page66_->header(), record66_, nullptr, page66_.get(),
            [this](bool editable) { SetPage66EditState(editable); }, std::move(linked)});
    };
    return pages;
}

bool TfrmMedDiaClientInfoEdit::takesAnswers(int page) const
{
    if (!database_)
        return true;
    return (page == Test33 ? database_->testView33() : database_->testView66())->editable();
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
    for (const TestPage *page : {&page33_->header(), &page66_->header()}) {
        const QAction *scheme = page->schemeButton->defaultAction();
        page->schemeCaption->setVisible(!scheme->isVisible());
        page->schemeButton->setVisible(scheme->isVisible());
    }
}

void TfrmMedDiaClientInfoEdit::hidePrintSetup()
{
    commands_.actCMHPrintSet->setVisible(false);
}

void TfrmMedDiaClientInfoEdit::setPage33FixedTexts()
{
    page33_->setFixedTexts();
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
    page33_->header().testType->setText(fromCatalogue(kTestType33));
    page66_->header().testType->setText(fromCatalogue(kTestType66));
}

void TfrmMedDiaClientInfoEdit::fillSchemeHelpTexts()
{
    for (auto [page, points] : {std::pair{&page33_->header(), Page33::helpPoints()},
                                std::pair{&page66_->header(), Page66::helpPoints()}}) {
        // The last point says where data are kept: nowhere, or the database.
        if (database_)
            points.last() = points.last().left(2) +
                            QStringLiteral("单击工具栏的【Save】可以保存本页的测试；") +
                            database_->storageSentence();
        page->scheme->setFontSize(12);
        page->scheme->setPlainText(schemeHelpText(points));
    }
}

void TfrmMedDiaClientInfoEdit::clearTypeFields()
{
    page66_->clearTypeFields();
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

void TfrmMedDiaClientInfoEdit::SetPage33EditState(bool editable)
{
    page33_->setEditState(editable);
}

void TfrmMedDiaClientInfoEdit::SetPage66EditState(bool editable)
{
    page66_->setEditState(editable);
}

void TfrmMedDiaClientInfoEdit::actQuitExecute()
{
    if (mayExecute(commands_.actQuit))
        close();
}

void TfrmMedDiaClientInfoEdit::selectPage(const QAction *command, int index)
{
    if (mayExecute(command))
        pgcClient->setCurrentIndex(index);
}

void TfrmMedDiaClientInfoEdit::pgcClientChange(int index)
{
    // A record page with unsaved changes is left only when the user says so.
    const int left = std::exchange(shownPage_, index);
    if (database_ && left != index && !database_->mayLeavePage(left, index)) {
        const QSignalBlocker quiet(pgcClient);
        pgcClient->setCurrentIndex(left);
        shownPage_ = left;
        return;
    }
    // Only where the focus was on the page left: the page control then puts
    // it on the first control of the new page that takes it, which on a
    // record page is the list hidden under the notice panel.
    QWidget *focus = focusWidget();
    if (!focus || !pgcClient->currentWidget()->isAncestorOf(focus))
        return;
    const std::array<QWidget *, 5> firstFields = {baseInfo_->firstField(), page33_->firstField(),
                                                  page66_->firstField(), diagnose_->firstField(),
                                                  contact_->firstField()};
    if (index >= 0 && std::size_t(index) < firstFields.size() && firstFields[std::size_t(index)])
        firstFields[std::size_t(index)]->setFocus(Qt::OtherFocusReason);
}

void TfrmMedDiaClientInfoEdit::actInsert33Execute()
{
    selectPage(commands_.actInsert33, Test33);
    // In the database edition, a new test of the current client.
    if (database_ && pgcClient->currentIndex() == Test33)
        database_->insertDetail(database_->tests33());
}

void TfrmMedDiaClientInfoEdit::actInsert66Execute()
{
    selectPage(commands_.actInsert66, Test66);
    if (database_ && pgcClient->currentIndex() == Test66)
        database_->insertDetail(database_->tests66());
}

void TfrmMedDiaClientInfoEdit::actInsertMDExecute()
{
    selectPage(commands_.actInsertMD, Diagnose);
    // In the database edition, a new record of the current client.
    if (database_ && pgcClient->currentIndex() == Diagnose)
        database_->insertDetail(database_->diagnoses());
}

void TfrmMedDiaClientInfoEdit::actInsertCRExecute()
{
    selectPage(commands_.actInsertCR, Contact);
    if (database_ && pgcClient->currentIndex() == Contact)
        database_->insertDetail(database_->contacts());
}

void TfrmMedDiaClientInfoEdit::edtVerifyIfKeyDown(QWidget *, int key, Qt::KeyboardModifiers)
{
    FocusNextOnEnter(this, key);
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

QString
TfrmMedDiaClientInfoEdit::assessInPlace(AssessmentRecord &record,
                                        const std::function<void(AssessmentRecord &)> &assess)
{
    try {
        assess(record);
    } catch (const std::exception &error) {
        // What was computed before the error stays, as on screen so far.
        return QString::fromUtf8(error.what());
    }
    return {};
}

void TfrmMedDiaClientInfoEdit::runAssessment(const std::function<void(AssessmentRecord &)> &assess)
{
    AssessmentRecord record = record_.read();
    const QString failure = assessInPlace(record, assess);
    record_.write(record);
    if (!failure.isEmpty())
        ShowStandardError(this, failure);
}

// Page 1.

void TfrmMedDiaClientInfoEdit::recompute33()
{
    const Answers33 answers = page33_->answers();
    const auto assess = [&answers](AssessmentRecord &record) {
        BuildItemStrings33(answers, record);
        Assess33(record);
    };
    if (!database_) {
        runAssessment(assess);
        return;
    }
    // Page 1's own test; page 2 keeps its own. A stored test is not scored
    // again while it is only shown.
    if (!takesAnswers(Test33))
        return;
    TestRecordView *view = database_->testView33();
    AssessmentRecord record = view->record();
    const QString failure = assessInPlace(record, assess);
    view->setRecord(record);
    if (!failure.isEmpty())
        ShowStandardError(this, failure);
}

void TfrmMedDiaClientInfoEdit::recompute66()
{
    if (!database_) {
        runAssessment(Assess66);
        return;
    }
    if (!takesAnswers(Test66))
        return;
    AssessmentRecord record = record66_.read();
    const QString failure = assessInPlace(record, Assess66);
    record66_.write(record);
    if (!failure.isEmpty())
        ShowStandardError(this, failure);
}

void TfrmMedDiaClientInfoEdit::btn_01_1Click(QAbstractButton *sender)
{
    if (takesAnswers(Test33))
        page33_->setAnswerFrom(sender);
}

void TfrmMedDiaClientInfoEdit::edtOriginal01KeyPress(QWidget *sender, QChar &key)
{
    filterAnswerKey(static_cast<TEdit *>(sender), key);
}

void TfrmMedDiaClientInfoEdit::edtOriginal01Exit(QWidget *)
{
    recompute33();
}

void TfrmMedDiaClientInfoEdit::lblTitleOriginalClick()
{
    if (takesAnswers(Test33))
        page33_->askToResetAnswers(this);
}

void TfrmMedDiaClientInfoEdit::lblCMH33HabResultClick()
{
    recompute33();
}

void TfrmMedDiaClientInfoEdit::actCMH33ConSchExecute()
{
    if (mayExecute(commands_.actCMH33ConSch))
        recompute33();
}

void TfrmMedDiaClientInfoEdit::actCalcBMIExecute()
{
    if (!mayExecute(commands_.actCalcBMI))
        return;
    if (!frmCalcBMI)
        frmCalcBMI = new TfrmCalcBMI(this);
    frmCalcBMI->exec();
    delete frmCalcBMI; // also clears the reference
    frmCalcBMI = nullptr;
}

// Page 2.

void TfrmMedDiaClientInfoEdit::edtCMHYangXuFieldExit(QWidget *)
{
    recompute66();
}

void TfrmMedDiaClientInfoEdit::edtCMHYangXuFieldKeyPress(QWidget *, QChar &key)
{
    if (!Page66::typeFieldTakes(key))
        key = QChar();
}

void TfrmMedDiaClientInfoEdit::edtCMHYangXuFieldKeyDown(QWidget *sender, int key,
                                                        Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Down && (modifiers & Qt::AltModifier)) {
        if (const int code = page66_->typeCodeOf(sender))
            openQuestionnaire(code);
    }
}

void TfrmMedDiaClientInfoEdit::actCMHConvalesceSchemeExecute()
{
    if (mayExecute(commands_.actCMHConvalesceScheme))
        recompute66();
}

void TfrmMedDiaClientInfoEdit::openQuestionnaire(int code)
{
    page66_->openQuestionnaire(code, this, !takesAnswers(Test66));
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

void TfrmMedDiaClientInfoEdit::closeEvent(QCloseEvent *event)
{
    if (database_ && !database_->mayLeaveAll()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TfrmMedDiaClientInfoEdit::FormClose()
{
    // Closing frees the window; being the main window, that ends the program.
    setAttribute(Qt::WA_DeleteOnClose);
    frmMedDiaClientInfoEdit = nullptr;
}
