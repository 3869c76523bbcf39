#include "database_edition.h"

#include "client_checks.h"
#include "client_search.h"
#include "code_dictionary.h"
#include "control_kinds.h"
#include "database.h"
#include "record_kinds.h"
#include "record_page_binding.h"
#include "record_table.h"

#include <QAction>
#include <QInputDialog>
#include <QLayout>
#include <QMessageBox>
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
    clients_ = new RecordPageBinding(
        *database_, {&clientKind(), pages.clients, pages.clientFrame, commands.cbi, window, {}});
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
    connect(clients_, &RecordPageBinding::currentChanged, this, &DatabaseEdition::followClient);
    followClient();
    showCodeNamesInList(pages.clientFrame, *pages.clients);
    for (const PageFrame *frame : {&pages.clientFrame, &pages.diagnoseFrame, &pages.contactFrame})
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
    delete clients_;
    delete diagnoses_;
    delete contacts_;
}

QString DatabaseEdition::storageSentence() const
{
    return QStringLiteral("客户资料、诊疗记录和回访联络记录保存在%1。").arg(database_->location());
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
        QStringLiteral("1、本软件是数据库版本。\n   客户资料、诊疗记录和回访联络记录\n"
                       "   保存在%1。")
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
    for (RecordPageBinding *details : {diagnoses_, contacts_}) {
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
    if (clients_->showRecord(*found))
        lastFound_ = *found;
}

bool DatabaseEdition::mayLeaveAll()
{
    for (RecordPageBinding *page : {clients_, diagnoses_, contacts_})
        if (!page->mayLeave())
            return false;
    return true;
}

bool DatabaseEdition::mayLeavePage(int index)
{
    const std::array<RecordPageBinding *, 5> pages = {clients_, nullptr, nullptr, diagnoses_,
                                                      contacts_};
    if (index < 0 || std::size_t(index) >= pages.size() || !pages[std::size_t(index)])
        return true;
    return pages[std::size_t(index)]->mayLeave();
}

void DatabaseEdition::insertDetail(RecordPageBinding *details)
{
    if (!clients_->currentValue("V_IDENT_NO").isEmpty() && clients_->mayLeave())
        details->insert();
}

} // namespace tizhi
