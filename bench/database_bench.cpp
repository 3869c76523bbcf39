// tizhi-bench's database part: a SQLite file with 100 000 clients, one of
// them with 1 000 diagnosis records, and what a health worker waits for on
// it. Find is also measured on PostgreSQL when the bench runs where a server
// is named (PGHOST set, as pg_virtualenv does).
#include "bench_tools.h"

#include "client_search.h"
#include "control_kinds.h"
#include "database.h"
#include "database_edition.h"
#include "edition.h"
#include "record_form.h"
#include "record_page_binding.h"
#include "record_table.h"
#include "test_record_view.h"
#include "test_records.h"
#include "uniMedDiaClientInfoEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <cstdio>
#include <map>
#include <string>

namespace bench {

namespace {

constexpr int kClients = 100000;
constexpr int kDetails = 1000;
constexpr int kTests = 50;

// Client 1's tests, of both forms, answered alike.
void fillTests(QSqlDatabase &c)
{
    tizhi::TestWriter writer(c);
    for (int i = 0; i < kTests; ++i) {
        tizhi::StoredTest test;
        test.form = QLatin1String(i % 2 ? tizhi::kForm66Code : tizhi::kForm33Code);
        test.testTime = QDateTime(QDate(2000, 1, 1), QTime(9, 0)).addDays(365 * i / 2);
        test.name = QStringLiteral("客户1");
        test.identNo = QStringLiteral("P000000001");
        for (std::size_t q = 0; q < test.answers.size(); ++q)
            test.answers[q] = std::to_string(1 + (q + std::size_t(i)) % 5);
        tizhi::BuildItemStrings33(test.answers, test.record);
        tizhi::Assess33(test.record);
        writer.insert(test);
    }
}

// The client numbered `i`: a name, an identity number and a card number
// unlike every other's.
void fill(tizhi::Database &db)
{
    QSqlDatabase c = db.connection();
    c.transaction();
    QSqlQuery client(c);
    client.prepare("INSERT INTO client (V_NAME, V_IDENT_NO, V_CARD_NO, V_IDENT_TYPE, V_SEX) "
                   "VALUES (?, ?, ?, '03', '1')");
    for (int i = 0; i < kClients; ++i) {
        client.addBindValue(QStringLiteral("客户%1").arg(i));
        client.addBindValue(QStringLiteral("P%1").arg(i, 9, 10, QChar('0')));
        client.addBindValue(QStringLiteral("K%1").arg(i));
        client.exec();
    }
    QSqlQuery detail(c);
    detail.prepare("INSERT INTO diagnose_record (T_TREAT_TIME, V_NAME, V_IDENT_NO, V_DOCTOR) "
                   "VALUES (?, '客户0', 'P000000000', '医生')");
    for (int i = 0; i < kDetails; ++i) {
        detail.addBindValue(QDateTime(QDate(2020, 1, 1), QTime(8, 0)).addSecs(3600 * i));
        detail.exec();
    }
    fillTests(c);
    c.commit();
}

// First-paint times of the two editions' windows, in turns.
void startUp(const char *program, const QString &file)
{
    std::map<std::string, std::vector<double>> times;
    std::map<std::string, long> peaks;
    for (int round = 0; round < 9; ++round) {
        for (const char *which : {"main", "database"}) {
            const auto painted = firstPaint(program, which, file);
            if (!painted)
                continue;
            times[which].push_back(painted->ms);
            peaks[which] = std::max(peaks[which], painted->peakKilobytes);
        }
    }
    const double plain = median(times["main"]);
    const double stored = median(times["database"]);
    report("database edition, 100 000 clients: to first paint (median)", stored, "ms", "(reported)",
           true);
    report("database edition / edition without a database", stored / plain, "x", "<= 1.3",
           stored / plain <= 1.3);
    const double more = (peaks["database"] - peaks["main"]) / 1024.0;
    report("database edition, 100 000 clients: memory above the other", more, "MB", "<= 30",
           more <= 30);
}

// The median time of `runs` calls of `work`, in ms.
template <class Work> double medianMs(int runs, Work work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work(i);
        ms.push_back(clock.nsecsElapsed() / 1e6);
    }
    return median(ms);
}

double findMs(const tizhi::Database &db)
{
    // The oldest client: Find walks the whole list, newest first, to it.
    return medianMs(15,
                    [&db](int) { tizhi::findClient(db.connection(), QStringLiteral("客户0"), 0); });
}

void findAndSave(tizhi::Database &db)
{
    const double find = findMs(db);
    report("Find among 100 000 clients, SQLite (median)", find, "ms", "<= 50", find <= 50);
    tizhi::RecordTable clients(tizhi::clientKind(), db.connection());
    clients.selectRecords();
    const int phone = clients.column("V_PHONE");
    const double save = medianMs(21, [&](int i) {
        QSqlDatabase c = db.connection();
        c.transaction();
        clients.setData(clients.index(0, phone), QStringLiteral("1380000%1").arg(i));
        clients.submitAll();
        c.commit();
    });
    report("Save of one client, SQLite (median)", save, "ms", "<= 20", save <= 20);
}

// The record form of the test on page 1 drawn into a print preview, as
// "打印" draws it.
void previewForm(tizhi::DatabaseEdition *edition)
{
    tizhi::report::TestForm form;
    form.test = edition->testView33()->test();
    form.client.name = form.test.name;
    QPrinter printer;
    QPrintPreviewWidget preview(&printer);
    QObject::connect(&preview, &QPrintPreviewWidget::paintRequested,
                     [&form](QPrinter *target) { tizhi::report::render(*target, form); });
    preview.resize(800, 1000);
    // The first form of the program cuts the forms' face down first.
    QElapsedTimer clock;
    clock.start();
    preview.show();
    QApplication::processEvents();
    const double first = double(clock.nsecsElapsed()) / 1e6;
    report("the program's first record form in the print preview", first, "ms", "<= 150",
           first <= 150);
    const double shown = medianMs(11, [&](int) {
        preview.updatePreview();
        QApplication::processEvents();
    });
    report("a record form drawn into the print preview (median)", shown, "ms", "<= 50",
           shown <= 50);
}

// On the 33-item page: client 1's 50 tests listed, the newest shown, and
// the history on the client page, then a whole new test saved.
void clientWithTests(TfrmMedDiaClientInfoEdit &window, const std::vector<qint64> &clients)
{
    tizhi::DatabaseEdition *edition = window.databaseEdition();
    window.pgcClient->setCurrentIndex(1);
    const double shown = medianMs(11, [&](int i) {
        edition->clients()->showRecord(clients[std::size_t(1 - i % 2)]);
        QApplication::processEvents();
    });
    report("a client with 50 stored tests shown (median)", shown, "ms", "<= 100", shown <= 100);
    edition->clients()->showRecord(clients[1]);
    std::vector<double> saves;
    for (int i = 0; i < 21; ++i) {
        edition->tests33()->insert();
        for (int q = 1; q <= 33; ++q)
            if (auto *box = window.findChild<TEdit *>(
                    QStringLiteral("edtOriginal%1").arg(q, 2, 10, QChar('0'))))
                box->setText(QString::number(1 + (q + i) % 5));
        QElapsedTimer clock;
        clock.start();
        edition->tests33()->save();
        saves.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    const double save = median(saves);
    report("storing a whole 33-item test, SQLite (median)", save, "ms", "<= 20", save <= 20);
    previewForm(edition);
}

void clientWithDetails(const QString &file)
{
    tizhi::DatabaseSettings settings;
    settings.name = file;
    tizhi::chooseEdition(settings);
    TfrmMedDiaClientInfoEdit window;
    tizhi::chooseEdition(std::nullopt);
    window.resize(1280, 760);
    window.show();
    window.pgcClient->setCurrentIndex(3);
    QApplication::processEvents();
    tizhi::DatabaseEdition *edition = window.databaseEdition();
    if (!edition)
        return;
    QSqlQuery ids(edition->database().connection());
    ids.exec("SELECT ID FROM client WHERE V_IDENT_NO IN ('P000000000', 'P000000001') ORDER BY ID");
    std::vector<qint64> both;
    while (ids.next())
        both.push_back(ids.value(0).toLongLong());
    if (both.size() != 2)
        return;
    // From the next client to the one with the records and back.
    const double shown = medianMs(11, [&](int i) {
        edition->clients()->showRecord(both[std::size_t(i % 2)]);
        QApplication::processEvents();
    });
    report("a client with 1 000 diagnosis records shown (median)", shown, "ms", "<= 100",
           shown <= 100);
    clientWithTests(window, both);
}

void postgresFind()
{
    if (qEnvironmentVariableIsEmpty("PGHOST"))
        return;
    tizhi::DatabaseSettings settings;
    settings.driver = tizhi::DatabaseSettings::Driver::PostgreSql;
    settings.name = qEnvironmentVariable("PGDATABASE");
    tizhi::Database db(settings);
    if (const QString error = db.open(); !error.isEmpty()) {
        std::fprintf(stderr, "tizhi-bench: %s\n", qPrintable(error));
        return;
    }
    QSqlQuery(db.connection()).exec("DELETE FROM diagnose_record");
    QSqlQuery(db.connection()).exec("DELETE FROM client");
    fill(db);
    const double find = findMs(db);
    report("Find among 100 000 clients, PostgreSQL (median)", find, "ms", "(reported)", true);
}

} // namespace

void databaseEdition(const char *program)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("clients.sqlite");
    {
        tizhi::DatabaseSettings settings;
        settings.name = file;
        tizhi::Database db(settings);
        if (const QString error = db.open(); !error.isEmpty()) {
            std::fprintf(stderr, "tizhi-bench: %s\n", qPrintable(error));
            return;
        }
        fill(db);
        findAndSave(db);
    }
    startUp(program, file);
    clientWithDetails(file);
    postgresFind();
}

} // namespace bench
