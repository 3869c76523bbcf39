// What the main window becomes when a database is chosen: the client page
// and the two detail pages bound to their record sets, the look-up lists
// filled from the code dictionary, Find, and the notice panels moved below
// the record lists, saying where the records are kept. The window owns one
// while the database is open and asks it before a page or the window is
// left.
#pragma once

#include "page_frame.h"
#include "window_commands.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>

class QWidget;

namespace tizhi {

class Database;
class RecordPageBinding;
struct FieldGrid;

class DatabaseEdition : public QObject {
    Q_OBJECT

public:
    struct Pages {
        const FieldGrid *clients;
        const FieldGrid *diagnoses;
        const FieldGrid *contacts;
        PageFrame clientFrame;
        PageFrame diagnoseFrame;
        PageFrame contactFrame;
    };

    // Takes over the opened database.
    DatabaseEdition(QWidget *window, std::unique_ptr<Database> database, const Pages &pages,
                    WindowCommands &commands);
    ~DatabaseEdition() override;

    const Database &database() const { return *database_; }
    RecordPageBinding *clients() const { return clients_; }
    RecordPageBinding *diagnoses() const { return diagnoses_; }
    RecordPageBinding *contacts() const { return contacts_; }

    // Where the records are kept, as the notices and help texts say it.
    QString storageSentence() const;

    // Find: asks for the text and shows the next client matching it.
    void find();
    // Whether the record pages may be left (each asks about unsaved changes).
    bool mayLeaveAll();
    // Whether the page at `index` of the window may be left.
    bool mayLeavePage(int index);
    // "Insert MD" and "Insert CR": a new record of the current client.
    void insertDetail(RecordPageBinding *details);

private:
    void fillLookups(const FieldGrid &fields);
    void showCodeNamesInList(const PageFrame &frame, const FieldGrid &fields);
    void placeNotice(const PageFrame &frame);
    QString checkClient(RecordPageBinding &clients) const;
    void followClient();

    QWidget *window_;
    std::unique_ptr<Database> database_;
    RecordPageBinding *clients_ = nullptr;
    RecordPageBinding *diagnoses_ = nullptr;
    RecordPageBinding *contacts_ = nullptr;
    QString findText_;
    qint64 lastFound_ = 0;
};

} // namespace tizhi
