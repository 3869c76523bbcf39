// What the main window becomes when a database is chosen: the client page
// and the two detail pages bound to their record sets, the look-up lists
// filled from the code dictionary, Find, and the notice panels moved below
// the record lists, saying where the records are kept. The window owns one
// while the database is open and asks it before a page or the window is
// left.
#pragma once

#include "page_frame.h"
#include "record_form.h"
#include "test_record_view.h"
#include "window_commands.h"

#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QSqlDatabase;
class QWidget;

namespace tizhi {

class Database;
class FormPrinting;
class RecordPageBinding;
class TestHistory;
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
        PageFrame test33Frame;
        PageFrame test66Frame;
        // The views of the two test pages; `linked` says whether the page's
        // test belongs to the current client.
        using MakeTestView = std::function<std::unique_ptr<TestRecordView>(std::function<bool()>)>;
        MakeTestView makeTest33View;
        MakeTestView makeTest66View;
        // Turns to the page at an index; false when the page shown may
        // not be left.
        std::function<bool(int)> showPage;
    };

    // Takes over the opened database.
    DatabaseEdition(QWidget *window, std::unique_ptr<Database> database, const Pages &pages,
                    WindowCommands &commands);
    ~DatabaseEdition() override;

    const Database &database() const { return *database_; }
    RecordPageBinding *clients() const { return clients_; }
    RecordPageBinding *diagnoses() const { return diagnoses_; }
    RecordPageBinding *contacts() const { return contacts_; }
    RecordPageBinding *tests33() const { return tests33_; }
    RecordPageBinding *tests66() const { return tests66_; }
    TestHistory *history() const { return history_; }
    FormPrinting *printing() const { return printing_; }
    TestRecordView *testView33() const;
    TestRecordView *testView66() const;

    // Where the records are kept, as the notices and help texts say it.
    QString storageSentence() const;

    // Find: asks for the text and shows the next client matching it.
    void find();
    // Whether the record pages may be left (each asks about unsaved changes).
    bool mayLeaveAll();
    // Whether the page at `index` of the window may be left for the page at
    // `entered`: the two test pages are left for each other freely.
    bool mayLeavePage(int index, int entered);
    // "Insert MD" and "Insert CR": a new record of the current client.
    void insertDetail(RecordPageBinding *details);

private:
    void fillLookups(const FieldGrid &fields);
    void showCodeNamesInList(const PageFrame &frame, const FieldGrid &fields);
    void placeNotice(const PageFrame &frame);
    QString checkClient(RecordPageBinding &clients) const;
    void followClient();
    RecordPageBinding *createTestPage(const PageFrame &frame, const RecordCommands &commands,
                                      const char *form, const Pages::MakeTestView &makeView);
    void markIncompleteTests(const PageFrame &frame, RecordPageBinding *tests);
    bool confirmTest(RecordPageBinding &tests);
    bool askAboutUnanswered(RecordPageBinding &tests);
    bool resolveTestClient(RecordPageBinding &tests);
    QString createPendingClient(QSqlDatabase &db);
    void showSavedTestClient(const QString &identNo);
    void createHistory(const Pages &pages);
    void createPrinting(const Pages &pages, WindowCommands &commands);
    report::ClientIdentity clientIdentity(bool linked) const;
    report::DiagnoseForm diagnoseForm(const FieldGrid &fields) const;

    QWidget *window_;
    std::unique_ptr<Database> database_;
    RecordPageBinding *clients_ = nullptr;
    RecordPageBinding *diagnoses_ = nullptr;
    RecordPageBinding *contacts_ = nullptr;
    RecordPageBinding *tests33_ = nullptr;
    RecordPageBinding *tests66_ = nullptr;
    TestHistory *history_ = nullptr;
    bool followingClient_ = false;
    FormPrinting *printing_ = nullptr;
    // A client to be made in the save of a test typed before any client
    // was chosen: name and identity number.
    std::optional<std::pair<QString, QString>> pendingClient_;
    QString findText_;
    qint64 lastFound_ = 0;
};

} // namespace tizhi
