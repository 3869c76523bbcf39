// A record page of the database edition as one unit: its record set (a
// table model of one kind of record), the record list showing it, a
// QDataWidgetMapper binding the page's fields to the current record, the
// navigator's six moving buttons and the page's record commands. It keeps
// the page's state (browsing, inserting, editing), makes the fields
// editable only while inserting or editing, asks before unsaved changes
// are left, and saves and deletes in one transaction each.
#pragma once

#include "field_grid.h"
#include "page_frame.h"
#include "window_commands.h"

#include <QObject>

#include <array>
#include <functional>

class QDataWidgetMapper;
class QModelIndex;
class TSpeedButton;

namespace tizhi {

class Database;
class RecordTable;
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
    };

    RecordPageBinding(Database &database, const Parts &parts);
    ~RecordPageBinding() override;

    RecordTable *table() const { return table_; }
    State state() const { return state_; }
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

private:
    void createModel();
    void configureList();
    void createMappings();
    void connectCommands();
    void connectNavigator();

    void moveTo(int row);
    void moveBy(int rows);
    void setState(State state);
    void updateCommands();
    void updateCount();
    void setFieldsEditable(bool editable);
    void fillNewRecord();
    bool hasUnsavedChanges();
    bool submitInTransaction(QString *error);
    void reselectAt(qint64 id);
    QString lengthProblem() const;
    QString recordDescription() const;
    QString deleteRefusal();
    void warn(const QString &message) const;

    Database &database_;
    Parts parts_;
    RecordTable *table_ = nullptr;
    QDataWidgetMapper *mapper_ = nullptr;
    std::array<TSpeedButton *, 6> moves_{};
    State state_ = State::Browse;
    qint64 idBeforeInsert_ = 0; // shown again when an insert is cancelled
    QString clientIdentNo_;
    QString clientName_;
    Check saveCheck_;
    bool moving_ = false;
};

} // namespace tizhi
