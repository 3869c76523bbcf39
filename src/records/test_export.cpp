#include "test_export.h"

#include "csv.h"
#include "database.h"
#include "output_text.h"
#include "record_transcoding.h"
#include "test_records.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tizhi::records {

namespace {

std::string errorOf(const QSqlQuery &query)
{
    return databaseErrorText(query.lastError()).toStdString();
}

// Whether a client with this identity number is stored.
std::optional<bool> clientExists(QSqlDatabase &db, const QString &client, std::string &error)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE V_IDENT_NO = ?")
                      .arg(QLatin1String(clientKind().table)));
    query.addBindValue(client);
    if (!query.exec() || !query.next()) {
        error = errorOf(query);
        return std::nullopt;
    }
    return query.value(0).toInt() > 0;
}

// One test as its output row, UTF-8.
std::vector<std::string> rowOf(const StoredTest &test)
{
    std::vector<std::string> fields{
        test.identNo.toStdString(),
        test.name.toStdString(),
        test.testTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString(),
        test.doctor.toStdString(),
        test.site.toStdString(),
        test.form.toStdString()};
    for (const AssessmentColumn &column : assessmentColumns())
        fields.push_back(test.record.*column.member);
    return fields;
}

} // namespace

std::vector<std::string> exportHeader()
{
    std::vector<std::string> names{"id", "name", "time", "doctor", "site", "form"};
    for (const AssessmentColumn &column : assessmentColumns())
        names.emplace_back(column.name);
    return names;
}

ExportResult exportTests(QSqlDatabase &db, const std::optional<QString> &client, std::ostream &out,
                         cli::Encoding encoding, const std::function<void(std::int64_t)> &progress)
{
    ExportResult result;
    result.status = cli::ExitStatus::Trouble;
    if (client) {
        const auto exists = clientExists(db, *client, result.error);
        if (!exists)
            return result;
        if (!*exists) {
            result.error = "no client has the identity number '" + client->toStdString() + "'";
            return result;
        }
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT * FROM %1%2 ORDER BY %3")
                      .arg(QLatin1String(testKind().table),
                           client ? QStringLiteral(" WHERE V_IDENT_NO = ?") : QString(),
                           QLatin1String(kIdColumn)));
    if (client)
        query.addBindValue(*client);
    if (!query.exec()) {
        result.error = "the stored tests cannot be read: " + errorOf(query);
        return result;
    }
    cli::OutputText output(out);
    try {
        cli::appendRecord(output.text(), exportHeader(), encoding, 1);
        while (query.next()) {
            ++result.rows;
            cli::appendRecord(output.text(), rowOf(readTest(query.record())), encoding,
                              result.rows + 1);
            output.writeIfFull();
            if (progress && result.rows % 1024 == 0)
                progress(result.rows);
        }
    } catch (const cli::CsvError &csv) {
        result.error = "line " + std::to_string(csv.line()) + ": " + csv.what();
        return result;
    }
    output.write();
    out.flush();
    if (query.lastError().isValid()) {
        result.error = "the stored tests cannot be read: " + errorOf(query);
        return result;
    }
    result.status = out ? cli::ExitStatus::AllScored : cli::ExitStatus::Trouble;
    if (!out)
        result.error = "the output could not be written";
    return result;
}

} // namespace tizhi::records
