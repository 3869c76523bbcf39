#include "database_edition.h"

#include "client_checks.h"
#include "client_search.h"
#include "code_dictionary.h"
#include "control_kinds.h"
#include "database.h"
#include "form_printing.h"
#include "record_kinds.h"
#include "record_page_binding.h"
#include "record_table.h"
#include "test_history.h"
#include "test_records.h"
#include "uniChineseMedicinePublic.h"

#include <QAction>
#include <QHeaderView>
#include <QInputDialog>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSqlError>
#include <QSqlQuery>
#include <QStackedLayout>
#include <QStyledItemDelegate>

namespace tizhi {

namespace {

// The code type each look-up box of the client page lists.
const std::array<std::pair<const char *, const char *>, 6> kLookupCodeTypes = {{
    {"edtIdentType", "T_MEDICINE_DIAGNOSE_IDENT_TYPE"},
    {"edtSex", "T_MEDICINE_DIAGNOSE_SEX_TYPE"},
    {"edtBirthTime", "T_MEDICINE_DIAGNOSE_BIRTH_TIME_TYPE"},
    {"edtMarriage", "T_MEDICINE_DIAGNOSE_MARRIAGE_TYPE"},
    {"edtBloodType", "T_MEDICINE_DIAGNOSE_BLOOD_TYPE"},
    {"edtTreatTye", "T_MEDICINE_DIAGNOSE_TREAT_TYPE"},
}};

// Shows a code's name in a list column that stores codes.
class CodeNameDelegate : public QStyledItemDelegate {
public:
    CodeNameDelegate(const QList<CodeEntry> &entries, QObject *parent) : QStyledItemDelegate(parent)
    {
        for (const CodeEntry &entry : entries)
            names_.insert(entry.code, entry.name);
    }

    QString displayText(const QVariant &value, const QLocale &) const override
    {
        return names_.value(value.toString(), value.toString());
    }

private:
    QHash<QString, QString> names_;
};

// The list's count of unanswered questions: blank for a complete test.
class UnansweredDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant &value, const QLocale &) const override
    {
        return value.toInt() > 0 ? QStringLiteral("%1 题").arg(value.toInt()) : QString();
    }
};

// Where the first unanswered question of a test is answered.
QWidget *firstUnanswered(const StoredTest &test, const TestRecordView *view)
{
    if (test.form == QLatin1String(kForm33Code)) {
        for (int question = 1; question <= kQuestionCount33; ++question)
            if (trimText(test.answers[std::size_t(question - 1)]).empty())
                return view->answerBox(question);
        return nullptr;
    }
    const QStringList missing = unansweredQuestions(test);
    for (const ConstitutionType &type : kTypes)
        if (!missing.isEmpty() && missing.first().startsWith(fromCatalogue(type.displayName)))
            return view->typeField(type.code);
    return nullptr;
}

std::optional<QDate> dateOf(const QString &text)
{
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

} // namespace

DatabaseEdition::DatabaseEdition(QWidget *window, std::unique_ptr<Database> database,
                                 const Pages &pages, WindowCommands &commands)
    : QObject(window), window_(window), database_(std::move(database))
{
    fillLookups(*pages.clients);
    RecordPageBinding::Parts clientParts{&clientKind(), pages.clients, pages.clientFrame,
                                         commands.cbi,  window,        {}};
    // At start no client is current: the test pages are ready for anyone.
    clientParts.startWithoutRecord = true;
    clients_ = new RecordPageBinding(*database_, clientParts);
    clients_->setSaveCheck([this](RecordPageBinding &b) { return checkClient(b); });
    diagnoses_ = new RecordPageBinding(*database_, {&diagnoseKind(),
                                                    pages.diagnoses,
                                                    pages.diagnoseFrame,
                                                    commands.mdr,
                                                    window,
                                                    {"edtMDRName", "edtMDRIdentNo"}});
    contacts_ = new RecordPageBinding(*database_, {&contactKind(),
                                                   pages.contacts,
                                                   pages.contactFrame,
                                                   commands.cr,
                                                   window,
                                                   {"edtCRName", "edtCRIdentNo"}});
    tests33_ = createTestPage(pages.test33Frame, commands.cmh33, kForm33Code, pages.makeTest33View);
    tests66_ = createTestPage(pages.test66Frame, commands.cmh, kForm66Code, pages.makeTest66View);
    createHistory(pages);
    createPrinting(pages, commands);
    connect(clients_, &RecordPageBinding::currentChanged, this, &DatabaseEdition::followClient);
    followClient();
    showCodeNamesInList(pages.clientFrame, *pages.clients);
    for (const PageFrame *frame : {&pages.clientFrame, &pages.diagnoseFrame, &pages.contactFrame,
                                   &pages.test33Frame, &pages.test66Frame})
        placeNotice(*frame);
    commands.actFind->setEnabled(true);
    connect(commands.actFind, &QAction::triggered, this, [this, find = commands.actFind] {
        if (mayExecute(find))
            this->find();
    });
}

DatabaseEdition::~DatabaseEdition()
{
    // The record sets use the connection: they go before the database.
    delete tests33_;
    delete tests66_;
    delete clients_;
    delete diagnoses_;
    delete contacts_;
}

RecordPageBinding *DatabaseEdition::createTestPage(const PageFrame &frame,
                                                   const RecordCommands &commands, const char *form,
                                                   const Pages::MakeTestView &makeView)
{
    RecordPageBinding *const *self =
        QLatin1String(form) == QLatin1String(kForm33Code) ? &tests33_ : &tests66_;
    RecordPageBinding::Parts parts{&testKind(), nullptr, frame, commands, window_, {}};
    parts.makeView = [makeView, self](RecordTable &) -> std::unique_ptr<RecordView> {
        return makeView([self] { return *self && (*self)->hasClient(); });
    };
    parts.scopeColumn = kTestTypeColumn;
    parts.scopeValue = QLatin1String(form);
    parts.newWithoutClient = true;
    auto *tests = new RecordPageBinding(*database_, parts);
    tests->setSaveCheck([](RecordPageBinding &b) {
        if (b.currentValue("V_NAME").trimmed().isEmpty() ||
            b.currentValue("V_IDENT_NO").trimmed().isEmpty())
            return QStringLiteral("请填写客户姓名和证件号码：每份测试记录都要归入一位客户。");
        return QString();
    });
    tests->setSaveConfirm([this](RecordPageBinding &b) { return confirmTest(b); });
    tests->setBeforeWrite([this](QSqlDatabase &db) { return createPendingClient(db); });
    connect(tests, &RecordPageBinding::saved, this,
            [this](qint64, const QString &identNo) { showSavedTestClient(identNo); });
    markIncompleteTests(frame, tests);
    return tests;
}

void DatabaseEdition::createHistory(const Pages &pages)
{
    history_ = new TestHistory(pages.clients->container->parentWidget(), database_->connection());
    // A saved or deleted test changes the history; a row opens its test.
    for (RecordPageBinding *tests : {tests33_, tests66_})
        connect(tests, &RecordPageBinding::currentChanged, this, [this] {
            // Following another client shows its history once, below.
            if (!followingClient_)
                history_->showClient(clients_->currentValue("V_IDENT_NO"));
        });
    connect(history_, &TestHistory::opened, this,
            [this, showPage = pages.showPage](qint64 id, const QString &form) {
                const bool is33 = form == QLatin1String(kForm33Code);
                if (showPage(is33 ? 1 : 2))
                    (is33 ? tests33_ : tests66_)->showRecord(id);
            });
}

void DatabaseEdition::createPrinting(const Pages &pages, WindowCommands &commands)
{
    const auto testForm = [this](RecordPageBinding *tests) {
        report::TestForm form;
        form.test = static_cast<TestRecordView *>(tests->view())->test();
        form.client = clientIdentity(tests->hasClient());
        form.unsaved = tests->state() != RecordPageBinding::State::Browse;
        return form;
    };
    const FieldGrid *diagnoseFields = pages.diagnoses;
    printing_ =
        new FormPrinting(window_, commands,
                         {[this, testForm] { return testForm(tests33_); },
                          [this, testForm] { return testForm(tests66_); },
                          [this, diagnoseFields] { return diagnoseForm(*diagnoseFields); },
                          [this] {
                              return diagnoses_->currentId() != 0 ||
                                     diagnoses_->state() != RecordPageBinding::State::Browse;
                          }});
}

report::ClientIdentity DatabaseEdition::clientIdentity(bool linked) const
{
    // A test typed before any client was chosen names only what its header holds.
    if (!linked || clients_->state() != RecordPageBinding::State::Browse)
        return {};
    report::ClientIdentity client;
    client.name = clients_->currentValue("V_NAME");
    client.identNo = clients_->currentValue("V_IDENT_NO");
    client.cardNo = clients_->currentValue("V_CARD_NO");
    const QString sex = clients_->currentValue("V_SEX");
    for (const CodeEntry &entry :
         codeList(database_->connection(), QStringLiteral("T_MEDICINE_DIAGNOSE_SEX_TYPE")))
        if (entry.code == sex)
            client.sex = entry.name;
    if (const auto birthday = dateOf(clients_->currentValue("T_BIRTHDAY")))
        client.birth = birthday->toString(Qt::ISODate);
    else if (const QString age = clients_->currentValue("I_AGE"); !age.isEmpty())
        client.birth = age + QStringLiteral("岁");
    return client;
}

report::DiagnoseForm DatabaseEdition::diagnoseForm(const FieldGrid &fields) const
{
    // As the page shows the record, changes not yet saved included.
    report::DiagnoseForm form;
    form.client = clientIdentity(true);
    form.unsaved = diagnoses_->state() != RecordPageBinding::State::Browse;
    form.treatTime = fields.field<TwwDBDateTimePicker>("edtMDRTreatTime")->dateTime();
    form.doctor = fields.field<TwwDBEdit>("edtMDRDoctor")->text();
    form.site = fields.field<TwwDBEdit>("edtMDRSite")->text();
    for (const Field &field : fields.fields)
        if (auto *rich = qobject_cast<TwwDBRichEdit *>(field.widget))
            form.sections.append({QString::fromUtf8(field.def->caption), rich->toPlainText()});
    return form;
}

TestRecordView *DatabaseEdition::testView33() const
{
    return static_cast<TestRecordView *>(tests33_->view());
}

TestRecordView *DatabaseEdition::testView66() const
{
    return static_cast<TestRecordView *>(tests66_->view());
}

void DatabaseEdition::markIncompleteTests(const PageFrame &frame, RecordPageBinding *tests)
{
    // The list says how many questions a test left unanswered.
    const int column = tests->table()->column(kUnansweredColumn);
    tests->table()->setHeaderData(column, Qt::Horizontal, QStringLiteral("未答"));
    frame.grid->setColumnHidden(column, false);
    frame.grid->setColumnWidth(column, frame.grid->fontMetrics().horizontalAdvance(u'0') * 6);
    frame.grid->setItemDelegateForColumn(column, new UnansweredDelegate(frame.grid));
    // First, where the eye starts.
    QHeaderView *header = frame.grid->horizontalHeader();
    header->moveSection(header->visualIndex(column), 0);
}

bool DatabaseEdition::confirmTest(RecordPageBinding &tests)
{
    return askAboutUnanswered(tests) && resolveTestClient(tests);
}

bool DatabaseEdition::askAboutUnanswered(RecordPageBinding &tests)
{
    TestRecordView *view = static_cast<TestRecordView *>(tests.view());
    const StoredTest test = view->test();
    const QStringList missing = unansweredQuestions(test);
    if (missing.isEmpty())
        return true;
    QMessageBox box(
        QMessageBox::Question, window_->windowTitle(),
        QStringLiteral("有 %1 个问题没有回答：%2。\n记录表要求每个问题都问到、答到。"
                       "仍要保存这份测试吗？")
            .arg(missing.size())
            .arg(missing.size() > 12 ? missing.mid(0, 12).join(u'、') + u'…' : missing.join(u'、')),
        QMessageBox::NoButton, window_);
    QPushButton *save = box.addButton(QStringLiteral("仍然保存"), QMessageBox::AcceptRole);
    QPushButton *back =
        box.addButton(QStringLiteral("回到第一个未答的问题"), QMessageBox::RejectRole);
    box.setDefaultButton(back);
    box.setEscapeButton(back);
    box.exec();
    if (box.clickedButton() == save)
        return true;
    if (QWidget *first = firstUnanswered(test, view))
        first->setFocus(Qt::OtherFocusReason);
    return false;
}

bool DatabaseEdition::resolveTestClient(RecordPageBinding &tests)
{
    pendingClient_.reset();
    if (tests.hasClient())
        return true;
    const QString identNo = tests.currentValue("V_IDENT_NO").trimmed();
    const QString name = tests.currentValue("V_NAME").trimmed();
    tests.setCurrentValue("V_IDENT_NO", identNo);
    tests.setCurrentValue("V_NAME", name);
    const auto taken = identNoTaken(database_->connection(), identNo, 0);
    if (!taken) {
        QMessageBox::warning(window_, window_->windowTitle(),
                             QStringLiteral("无法查找客户：%1")
                                 .arg(databaseErrorText(database_->connection().lastError())));
        return false;
    }
    if (*taken)
        return true; // the test joins that client's history
    const auto answer = QMessageBox::question(
        window_, window_->windowTitle(),
        QStringLiteral("还没有证件号码为 %1 的客户。\n要用客户姓名“%2”和这个证件号码建立新客户，"
                       "并把测试保存在其名下吗？")
            .arg(identNo, name));
    if (answer != QMessageBox::Yes)
        return false;
    pendingClient_ = std::pair{name, identNo};
    return true;
}

QString DatabaseEdition::createPendingClient(QSqlDatabase &db)
{
    if (!pendingClient_)
        return {};
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO %1 (V_NAME, V_IDENT_NO) VALUES (?, ?)")
                       .arg(QLatin1String(clientKind().table)));
    insert.addBindValue(pendingClient_->first);
    insert.addBindValue(pendingClient_->second);
    if (insert.exec())
        return {};
    return databaseErrorText(insert.lastError());
}

void DatabaseEdition::showSavedTestClient(const QString &identNo)
{
    // A test saved without a client makes its client the current one.
    const bool made = pendingClient_.has_value();
    pendingClient_.reset();
    if (clients_->state() != RecordPageBinding::State::Browse ||
        (!made && clients_->currentValue("V_IDENT_NO") == identNo))
        return;
    if (made)
        clients_->refresh();
    if (const auto id = clientIdOf(database_->connection(), identNo))
        clients_->showRecord(*id);
}

QString DatabaseEdition::storageSentence() const
{
    return QStringLiteral("客户资料、体质测试记录、诊疗记录和回访联络记录保存在%1。")
        .arg(database_->location());
}

void DatabaseEdition::fillLookups(const FieldGrid &fields)
{
    for (const auto &[name, codeType] : kLookupCodeTypes) {
        auto *lookup = fields.field<TwwDBLookupCombo>(name);
        lookup->clear();
        for (const CodeEntry &entry : codeList(database_->connection(), QLatin1String(codeType)))
            lookup->addItem(entry.name, entry.code);
        lookup->setCurrentIndex(-1);
    }
}

void DatabaseEdition::showCodeNamesInList(const PageFrame &frame, const FieldGrid &fields)
{
    // The list's code columns name their codes as the page's look-up boxes
    // do, from the entries those were filled with.
    for (const auto &[column, box] :
         {std::pair{"V_IDENT_TYPE", "edtIdentType"}, std::pair{"V_SEX", "edtSex"}}) {
        const auto *lookup = fields.field<TwwDBLookupCombo>(box);
        QList<CodeEntry> entries;
        for (int i = 0; i < lookup->count(); ++i)
            entries.append({lookup->itemData(i).toString(), lookup->itemText(i)});
        frame.grid->setItemDelegateForColumn(clients_->table()->column(column),
                                             new CodeNameDelegate(entries, frame.grid));
    }
}

void DatabaseEdition::placeNotice(const PageFrame &frame)
{
    // The list is in use here: the notice leaves it and stands below it.
    QWidget *listArea = frame.grid->parentWidget();
    auto *stack = qobject_cast<QStackedLayout *>(listArea->layout());
    auto *column = qobject_cast<QBoxLayout *>(listArea->parentWidget()->layout());
    if (!stack || !column)
        return;
    stack->removeWidget(frame.notice);
    stack->setCurrentWidget(frame.grid);
    column->insertWidget(1, frame.notice);
    frame.notice->show();
    frame.notice->setMaximumHeight(frame.notice->fontMetrics().height() * 6);
    // The panel does not wrap its lines: short ones.
    frame.notice->setPlainText(
        QStringLiteral("1、本软件是数据库版本。\n   客户资料、体质测试记录、\n"
                       "   诊疗记录和回访联络记录\n   保存在%1。")
            .arg(database_->location()));
}

QString DatabaseEdition::checkClient(RecordPageBinding &clients) const
{
    const ClientValues values{clients.currentValue("V_IDENT_TYPE"),
                              clients.currentValue("V_IDENT_NO"),
                              clients.currentValue("V_SEX"),
                              clients.currentValue("V_NAME"),
                              clients.currentValue("V_CARD_NO"),
                              clients.currentValue("I_AGE"),
                              dateOf(clients.currentValue("T_BIRTHDAY"))};
    if (const QString problem = clientProblem(values); !problem.isEmpty())
        return problem;
    const auto taken =
        identNoTaken(database_->connection(), values.identNo.trimmed(), clients.currentId());
    if (taken && *taken)
        return QStringLiteral("证件号码 %1 已属于另一位客户，同一证件号码只能登记一次。")
            .arg(values.identNo);
    return {};
}

void DatabaseEdition::followClient()
{
    const QString identNo = clients_->currentValue("V_IDENT_NO");
    const QString name = clients_->currentValue("V_NAME");
    const bool saved = clients_->state() == RecordPageBinding::State::Browse;
    const QScopedValueRollback following(followingClient_, true);
    history_->showClient(saved ? identNo : QString());
    for (RecordPageBinding *details : {diagnoses_, contacts_, tests33_, tests66_}) {
        if (details->table()->client() != identNo || !saved)
            details->setClient(saved ? identNo : QString(), name);
    }
}

void DatabaseEdition::find()
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(window_, QStringLiteral("查找客户"),
                              QStringLiteral("姓名、证件号码或信息卡号（部分即可）："),
                              QLineEdit::Normal, findText_, &ok)
            .trimmed();
    if (!ok || text.isEmpty())
        return;
    if (text != findText_)
        lastFound_ = 0;
    findText_ = text;
    const auto found = findClient(database_->connection(), text, lastFound_);
    if (!found) {
        QMessageBox::information(window_, window_->windowTitle(),
                                 lastFound_ ? QStringLiteral("没有更多与“%1”相符的客户。").arg(text)
                                            : QStringLiteral("没有与“%1”相符的客户。").arg(text));
        lastFound_ = 0;
        return;
    }
    // The client changes: every page's unsaved record is asked about first.
    if (!mayLeaveAll())
        return;
    if (clients_->showRecord(*found))
        lastFound_ = *found;
}

bool DatabaseEdition::mayLeaveAll()
{
    for (RecordPageBinding *page : {clients_, tests33_, tests66_, diagnoses_, contacts_})
        if (!page->mayLeave())
            return false;
    return true;
}

bool DatabaseEdition::mayLeavePage(int index, int entered)
{
    // The two test pages are one place: a test stays unsaved between them.
    const auto isTestPage = [](int page) { return page == 1 || page == 2; };
    if (isTestPage(index))
        return isTestPage(entered) || (tests33_->mayLeave() && tests66_->mayLeave());
    const std::array<RecordPageBinding *, 5> pages = {clients_, tests33_, tests66_, diagnoses_,
                                                      contacts_};
    if (index < 0 || std::size_t(index) >= pages.size())
        return true;
    return pages[std::size_t(index)]->mayLeave();
}

void DatabaseEdition::insertDetail(RecordPageBinding *details)
{
    if (!clients_->currentValue("V_IDENT_NO").isEmpty() && clients_->mayLeave())
        details->insert();
}

} // namespace tizhi
