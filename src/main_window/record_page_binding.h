// A record page of the database edition as one unit: its record set (a
// table model of one kind of record), the record list showing it, a view
// showing the current record in the page's fields (QDataWidgetMapper on the
// record pages), the navigator's six moving buttons and the page's record
// commands. It keeps
// the page's state (browsing, inserting, editing), makes the fields
// editable only while inserting or editing, asks before unsaved changes
// are left, and saves and deletes in one transaction each.
#pragma once

#include "field_grid.h"
#include "page_frame.h"
#include "window_commands.h"

#include <QObject>

#include <QSqlRecord>

#include <array>
#include <functional>
#include <memory>

class QModelIndex;
class QSqlDatabase;
class TSpeedButton;

namespace tizhi {

class Database;
class RecordTable;
class RecordView;
struct RecordKind;

class RecordPageBinding : public QObject {
    Q_OBJECT

public:
    enum class State { Browse, Insert, Edit };

    struct Parts {
        const RecordKind *kind;
        const FieldGrid *fields; // in the record's column order
        PageFrame frame;
        RecordCommands commands;
        QWidget *window;         // parent of the questions and messages
        QStringList fixedFields; // copied from the client, never typed
        // The test pages: their own view instead of the fields' mapping,
        // and the form whose tests the list holds.
        std::function<std::unique_ptr<RecordView>(RecordTable &)> makeView = {};
        const char *scopeColumn = nullptr;
        QString scopeValue = {};
        // Without a client the page holds a new record of its own, which
        // Save attaches to a client; it asks before it is left only when
        // something was entered.
        bool newWithoutClient = false;
        // The list is filled but no record is chosen yet (the client page:
        // at start no client is current).
        bool startWithoutRecord = false;
    };

    RecordPageBinding(Database &database, const Parts &parts);
    ~RecordPageBinding() override;

    RecordTable *table() const { return table_; }
    RecordView *view() const { return view_.get(); }
    State state() const { return state_; }
    bool hasClient() const { return !clientIdentNo_.isEmpty(); }
    // The current record's number; 0 when there is none.
    qint64 currentId() const;
    QString currentValue(const char *field) const;

    // A detail page follows the client: its list shows that client's
    // records (none without one).
    void setClient(const QString &identNo, const QString &name);

    // Whether the page may be left: true when it holds no unsaved change, or
    // when the user saved or discarded it; false when the user stays.
    bool mayLeave();

    // Shows the record numbered `id` when the list holds it.
    bool showRecord(qint64 id);

    // The client page checks its record before it is saved; a message
    // names what is wrong, nothing means save.
    using Check = std::function<QString(RecordPageBinding &)>;
    void setSaveCheck(Check check) { saveCheck_ = std::move(check); }
    // Asked after the checks: false stops the save without a message (the
    // user chose to go back).
    using Confirm = std::function<bool(RecordPageBinding &)>;
    void setSaveConfirm(Confirm confirm) { saveConfirm_ = std::move(confirm); }
    // Runs inside the save's transaction before the record is written; a
    // message stops the save and undoes everything.
    using Prepare = std::function<QString(QSqlDatabase &)>;
    void setBeforeWrite(Prepare prepare) { beforeWrite_ = std::move(prepare); }
    // Writes a value into the current record (a new test's client).
    void setCurrentValue(const char *field, const QVariant &value);

    // The record commands' handlers.
    void insert();
    void edit();
    bool save();
    void cancel();
    void remove();
    void refresh();

signals:
    // The current record changed (another record, or none).
    void currentChanged();
    // Browsing, inserting or editing began.
    void stateChanged();
    // A record was saved; `identNo` is its client's.
    void saved(qint64 id, const QString &identNo);

private:
    void createModel();
    void configureList();
    void connectCommands();
    void connectNavigator();

    void moveTo(int row);
    void moveBy(int rows);
    void setState(State state);
    void updateCommands();
    void updateCount();
    void fillNewRecord();
    void startNewWithoutClient();
    bool hasUnsavedChanges();
    bool submitInTransaction(QString *error);
    void reselectAt(qint64 id);
    void showNoRecord();
    void selectListRow(int row);
    // Reads the list again and shows the record numbered `id` (0: the first).
    void refreshAt(qint64 id);
    QString recordDescription() const;
    QString deleteRefusal();
    void warn(const QString &message) const;

    Database &database_;
    Parts parts_;
    RecordTable *table_ = nullptr;
    std::unique_ptr<RecordView> view_;
    int row_ = -1;         // the record shown, -1 for none
    QSqlRecord newValues_; // a new record as it was made
    std::array<TSpeedButton *, 6> moves_{};
    State state_ = State::Browse;
    qint64 idBeforeInsert_ = 0; // shown again when an insert is cancelled
    QString clientIdentNo_;
    QString clientName_;
    Check saveCheck_;
    Confirm saveConfirm_;
    Prepare beforeWrite_;
    bool moving_ = false;
};

} // namespace tizhi
