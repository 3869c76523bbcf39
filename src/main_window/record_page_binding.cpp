#include "record_page_binding.h"

#include "client_search.h"
#include "control_kinds.h"
#include "database.h"
#include "record_table.h"
#include "record_view.h"
#include "test_records.h"
#include "uniChineseMedicinePublic.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSqlError>
#include <QStyledItemDelegate>

namespace tizhi {

namespace {

// Times in the record lists as the pickers show them, whatever form the
// engine hands them in (SQLite gives ISO text).
class TimeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QString displayText(const QVariant &value, const QLocale &) const override
    {
        const QDateTime when = value.toDateTime();
        return when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
    }
};

QString nameOf(const QWidget *window)
{
    return window ? window->windowTitle() : kProgramCaption;
}

} // namespace

RecordPageBinding::RecordPageBinding(Database &database, const Parts &parts)
    : QObject(parts.window), database_(database), parts_(parts)
{
    createModel();
    configureList();
    view_ = parts_.makeView ? parts_.makeView(*table_)
                            : std::make_unique<MappedView>(*table_, *parts_.kind, *parts_.fields,
                                                           parts_.fixedFields, this);
    connectCommands();
    connectNavigator();
    setState(State::Browse);
    refresh();
    if (parts_.startWithoutRecord)
        showNoRecord();
    startNewWithoutClient();
}

void RecordPageBinding::selectListRow(int row)
{
    // Selecting scrolls to the row's current cell, which may be a column
    // right of the list's first: the list keeps its left edge in view.
    TwwDBGrid *grid = parts_.frame.grid;
    grid->selectRow(row);
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->minimum());
}

void RecordPageBinding::showNoRecord()
{
    moving_ = true;
    row_ = -1;
    view_->show(*table_, -1);
    parts_.frame.grid->clearSelection();
    parts_.frame.grid->setCurrentIndex(QModelIndex());
    moving_ = false;
    updateCommands();
    emit currentChanged();
}

RecordPageBinding::~RecordPageBinding() = default;

void RecordPageBinding::createModel()
{
    table_ = new RecordTable(*parts_.kind, database_.connection(), this);
    if (parts_.scopeColumn)
        table_->setScope(parts_.scopeColumn, parts_.scopeValue);
    if (parts_.kind->detail)
        table_->setClient(QString());
}

void RecordPageBinding::configureList()
{
    TwwDBGrid *grid = parts_.frame.grid;
    QStringList shown;
    QList<int> widths;
    for (int c = 0; c < grid->columnCount(); ++c) {
        shown << grid->columnTitle(c);
        widths << grid->columnWidth(c);
    }
    QItemSelectionModel *old = grid->selectionModel();
    grid->setModel(table_);
    delete old;
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    QHeaderView *header = grid->horizontalHeader();
    for (int c = 0; c < table_->columnCount(); ++c)
        grid->setColumnHidden(c, !shown.contains(table_->headerData(c, Qt::Horizontal).toString()));
    for (int i = 0; i < shown.size(); ++i) {
        const int column = table_->column(shown[i].toLatin1().constData());
        if (column < 0)
            continue;
        header->moveSection(header->visualIndex(column), i);
        grid->setColumnWidth(column, widths[i]);
        if (shown[i].startsWith(u"T_"))
            grid->setItemDelegateForColumn(column, new TimeDelegate(grid));
    }
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!moving_ && current.isValid())
                    moveTo(current.row());
            });
}

void RecordPageBinding::connectCommands()
{
    const RecordCommands &c = parts_.commands;
    const std::array<std::pair<QAction *, void (RecordPageBinding::*)()>, 5> handlers = {{
        {c.insert, &RecordPageBinding::insert},
        {c.edit, &RecordPageBinding::edit},
        {c.cancel, &RecordPageBinding::cancel},
        {c.remove, &RecordPageBinding::remove},
        {c.refresh, &RecordPageBinding::refresh},
    }};
    for (const auto &entry : handlers)
        connect(entry.first, &QAction::triggered, this,
                [this, command = entry.first, handler = entry.second] {
                    if (mayExecute(command))
                        (this->*handler)();
                });
    connect(c.save, &QAction::triggered, this, [this, save = c.save] {
        if (mayExecute(save))
            this->save();
    });
}

void RecordPageBinding::connectNavigator()
{
    // First, back ten, prior, next, forward ten, last.
    const std::array<int, 6> steps = {-1000000000, -10, -1, 1, 10, 1000000000};
    for (std::size_t i = 0; i < moves_.size(); ++i) {
        moves_[i] = parts_.frame.plainButtons.value(qsizetype(i));
        if (!moves_[i])
            missingControl("TSpeedButton", qPrintable(parts_.frame.navigator->objectName()));
        connect(moves_[i], &QAbstractButton::clicked, this,
                [this, step = steps[i]] { moveBy(step); });
    }
}

qint64 RecordPageBinding::currentId() const
{
    return row_ >= 0 && row_ < table_->rowCount() ? table_->idAt(row_) : 0;
}

QString RecordPageBinding::currentValue(const char *field) const
{
    if (row_ < 0)
        return {};
    return table_->data(table_->index(row_, table_->column(field))).toString();
}

void RecordPageBinding::setCurrentValue(const char *field, const QVariant &value)
{
    if (row_ >= 0)
        setColumn(*table_, row_, field, value);
}

void RecordPageBinding::setClient(const QString &identNo, const QString &name)
{
    clientIdentNo_ = identNo;
    clientName_ = name;
    if (parts_.kind->detail) {
        if (state_ != State::Browse) {
            table_->revertAll();
            setState(State::Browse);
        }
        // Another client's list: its newest record, not a search through
        // the whole list for the record of the client before.
        const bool sameClient = table_->client() == identNo;
        table_->setClient(identNo);
        if (sameClient)
            refresh();
        else
            refreshAt(0);
        startNewWithoutClient();
    }
}

void RecordPageBinding::startNewWithoutClient()
{
    if (parts_.newWithoutClient && clientIdentNo_.isEmpty() && state_ == State::Browse)
        insert();
}

void RecordPageBinding::moveBy(int rows)
{
    int target = row_ + rows;
    if (rows > 0) {
        while (target >= table_->rowCount() && table_->canFetchMore())
            table_->fetchMore();
    }
    target = std::clamp(target, 0, table_->rowCount() - 1);
    if (table_->rowCount() > 0)
        moveTo(target);
}

void RecordPageBinding::moveTo(int row)
{
    if (row == row_)
        return;
    const int from = row_;
    // Saving reads the list again and discarding a new record removes its
    // row: the record moved to is found again by its number.
    const qint64 targetId = table_->idAt(row);
    moving_ = true;
    if (mayLeave()) {
        if (targetId)
            row = std::max(table_->rowOfId(targetId), 0);
        row_ = row;
        view_->show(*table_, row);
        selectListRow(row);
        moving_ = false;
        updateCommands();
        emit currentChanged();
        return;
    }
    selectListRow(from);
    moving_ = false;
}

void RecordPageBinding::setState(State state)
{
    state_ = state;
    view_->setEditable(state != State::Browse);
    updateCommands();
    emit stateChanged();
}

void RecordPageBinding::updateCommands()
{
    const RecordCommands &c = parts_.commands;
    const bool browsing = state_ == State::Browse;
    const bool hasRecord = row_ >= 0;
    const bool mayInsert = !parts_.kind->detail || !clientIdentNo_.isEmpty();
    c.insert->setEnabled(browsing && mayInsert);
    // A page's own new record without a client: Cancel starts it afresh.
    c.edit->setEnabled(browsing && hasRecord);
    c.remove->setEnabled(browsing && hasRecord);
    c.refresh->setEnabled(browsing);
    c.save->setEnabled(!browsing);
    c.cancel->setEnabled(!browsing);
    for (TSpeedButton *move : moves_)
        move->setEnabled(table_->rowCount() > 0);
}

void RecordPageBinding::updateCount()
{
    parts_.frame.count->setText(QStringLiteral("记录数: %1").arg(table_->recordCount()));
}

void RecordPageBinding::refresh()
{
    refreshAt(currentId());
}

void RecordPageBinding::refreshAt(qint64 id)
{
    if (!table_->selectRecords())
        warn(QStringLiteral("无法读取记录：%1").arg(databaseErrorText(table_->lastError())));
    reselectAt(id);
}

void RecordPageBinding::reselectAt(qint64 id)
{
    int row = id ? table_->rowOfId(id) : -1;
    if (row < 0 && table_->rowCount() > 0)
        row = 0;
    moving_ = true;
    row_ = row;
    view_->show(*table_, row);
    if (row >= 0)
        selectListRow(row);
    moving_ = false;
    updateCount();
    updateCommands();
    emit currentChanged();
}

bool RecordPageBinding::showRecord(qint64 id)
{
    const int row = table_->rowOfId(id);
    if (row < 0)
        return false;
    moveTo(row);
    return row_ == table_->rowOfId(id);
}

void RecordPageBinding::insert()
{
    if (!mayLeave())
        return;
    const qint64 before = currentId();
    table_->insertRow(0);
    fillNewRecord();
    moving_ = true;
    row_ = 0;
    view_->show(*table_, 0);
    selectListRow(0);
    moving_ = false;
    idBeforeInsert_ = before;
    setState(State::Insert);
    // What the new record holds before anything is entered.
    view_->store(*table_, 0);
    newValues_ = table_->record(0);
    updateCount();
    if (QWidget *first = view_->firstField(); first && first->isVisible())
        first->setFocus(Qt::OtherFocusReason);
}

void RecordPageBinding::fillNewRecord()
{
    // A detail belongs to the current client; its time is now.
    if (!parts_.kind->detail)
        return;
    if (parts_.scopeColumn)
        table_->setData(table_->index(0, table_->column(parts_.scopeColumn)), parts_.scopeValue);
    if (!clientIdentNo_.isEmpty()) {
        table_->setData(table_->index(0, table_->column("V_IDENT_NO")), clientIdentNo_);
        table_->setData(table_->index(0, table_->column("V_NAME")), clientName_);
    }
    for (const ColumnDef &column : parts_.kind->columns) {
        if (column.type == ColumnType::Timestamp && column.required) {
            const QDateTime now = QDateTime::currentDateTime();
            table_->setData(table_->index(0, table_->column(column.name)),
                            QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(),
                                                        now.time().second())));
        }
    }
}

void RecordPageBinding::edit()
{
    if (row_ < 0)
        return;
    setState(State::Edit);
}

bool RecordPageBinding::save()
{
    if (state_ == State::Browse)
        return true;
    view_->store(*table_, row_);
    if (const QString tooLong = view_->problem(*table_, row_); !tooLong.isEmpty()) {
        warn(tooLong);
        return false;
    }
    if (saveCheck_) {
        if (const QString problem = saveCheck_(*this); !problem.isEmpty()) {
            warn(problem);
            return false;
        }
    }
    if (saveConfirm_ && !saveConfirm_(*this))
        return false;
    const bool inserting = state_ == State::Insert;
    const qint64 id = currentId();
    const QString identNo = currentValue(kIdentNoColumn);
    QString error;
    if (!submitInTransaction(&error)) {
        warn(QStringLiteral("保存失败：%1").arg(error));
        return false;
    }
    setState(State::Browse);
    // A page's own new record now belongs to the client it was saved for.
    if (parts_.kind->detail && clientIdentNo_.isEmpty()) {
        clientIdentNo_ = identNo;
        table_->setClient(identNo);
    }
    const qint64 savedId = inserting ? table_->lastInsertedId() : id;
    reselectAt(savedId);
    emit saved(savedId, identNo);
    return true;
}

bool RecordPageBinding::submitInTransaction(QString *error)
{
    if (!database_.ensureConnected(error))
        return false;
    QSqlDatabase db = database_.connection();
    if (!db.transaction()) {
        *error = databaseErrorText(db.lastError());
        return false;
    }
    if (beforeWrite_) {
        if (const QString failure = beforeWrite_(db); !failure.isEmpty()) {
            *error = failure;
            db.rollback();
            return false;
        }
    }
    if (table_->submitAll() && db.commit())
        return true;
    if (table_->lastErrorIsConflict())
        *error = QStringLiteral("这条记录在您读取之后已被其他工作站修改或删除，未作保存。"
                                "您输入的内容仍在字段中；可以记下后取消，刷新后再修改。");
    else
        *error =
            databaseErrorText(table_->lastError().isValid() ? table_->lastError() : db.lastError());
    db.rollback();
    return false;
}

void RecordPageBinding::cancel()
{
    if (state_ == State::Browse)
        return;
    const qint64 back = state_ == State::Insert ? idBeforeInsert_ : currentId();
    table_->revertAll();
    setState(State::Browse);
    reselectAt(back);
    startNewWithoutClient();
}

bool RecordPageBinding::hasUnsavedChanges()
{
    view_->store(*table_, row_);
    if (state_ != State::Insert)
        return table_->isDirty();
    if (!parts_.newWithoutClient)
        return true;
    // The test pages ask only when something was entered.
    const QSqlRecord now = table_->record(row_);
    for (const QString &column : view_->enteredColumns(*table_))
        if (!sameValue(now.value(column), newValues_.value(column)))
            return true;
    return false;
}

bool RecordPageBinding::mayLeave()
{
    if (state_ == State::Browse)
        return true;
    if (!hasUnsavedChanges()) {
        cancel();
        return true;
    }
    QMessageBox box(QMessageBox::Question, nameOf(parts_.window),
                    QStringLiteral("当前记录有未保存的修改。是否保存？"), QMessageBox::NoButton,
                    parts_.window);
    QPushButton *saveButton = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("放弃"), QMessageBox::DestructiveRole);
    QPushButton *stay = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(saveButton);
    box.setEscapeButton(stay);
    box.exec();
    if (box.clickedButton() == saveButton)
        return save();
    if (box.clickedButton() == discard) {
        cancel();
        return true;
    }
    return false;
}

QString RecordPageBinding::recordDescription() const
{
    QString text = currentValue("V_NAME");
    if (!parts_.kind->detail)
        return text + QStringLiteral("（证件号码 %1）").arg(currentValue("V_IDENT_NO"));
    for (const ColumnDef &column : parts_.kind->columns) {
        if (column.type == ColumnType::Timestamp) {
            const QDateTime when =
                table_->data(table_->index(row_, table_->column(column.name))).toDateTime();
            return text + u' ' + when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        }
    }
    return text;
}

void RecordPageBinding::remove()
{
    const int row = row_;
    if (state_ != State::Browse || row < 0)
        return;
    if (const QString refusal = deleteRefusal(); !refusal.isEmpty()) {
        warn(refusal);
        return;
    }
    const auto answer = QMessageBox::question(
        parts_.window, nameOf(parts_.window),
        QStringLiteral("确定要删除记录“%1”吗？删除后无法恢复。").arg(recordDescription()));
    if (answer != QMessageBox::Yes)
        return;
    const qint64 neighbour = table_->rowCount() > row + 1 ? table_->idAt(row + 1)
                             : row > 0                    ? table_->idAt(row - 1)
                                                          : 0;
    table_->removeRow(row);
    QString error;
    if (!submitInTransaction(&error)) {
        table_->revertAll();
        warn(QStringLiteral("删除失败：%1").arg(error));
        return;
    }
    reselectAt(neighbour);
}

QString RecordPageBinding::deleteRefusal()
{
    if (parts_.kind->detail)
        return {};
    const QString identNo = currentValue("V_IDENT_NO");
    const int diagnoses = detailCount(database_.connection(), diagnoseKind().table, identNo);
    const int contacts = detailCount(database_.connection(), contactKind().table, identNo);
    const int tests = detailCount(database_.connection(), testKind().table, identNo);
    if (diagnoses <= 0 && contacts <= 0 && tests <= 0)
        return {};
    return QStringLiteral("客户“%1”还有 %2 条诊疗记录、%3 条回访联络记录和 %4 条体质测试记录，"
                          "请先删除这些记录，再删除客户。")
        .arg(currentValue("V_NAME"))
        .arg(std::max(diagnoses, 0))
        .arg(std::max(contacts, 0))
        .arg(std::max(tests, 0));
}

void RecordPageBinding::warn(const QString &message) const
{
    QMessageBox::warning(parts_.window, nameOf(parts_.window), message);
}

} // namespace tizhi
