#include "test_export.h"

#include "code_dictionary.h"
#include "csv.h"
#include "database.h"
#include "output_text.h"
#include "record_transcoding.h"
#include "test_records.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <unordered_map>

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

using Identities = std::unordered_map<QString, forms::FormContent>;

// Every client's identity as the forms name it: name, sex (the code's
// name), birth date or else age, identity and card number.
Identities clientIdentities(QSqlDatabase &db)
{
    std::unordered_map<QString, QString> sexes;
    for (const CodeEntry &entry : codeList(db, QStringLiteral("T_MEDICINE_DIAGNOSE_SEX_TYPE")))
        sexes.emplace(entry.code, entry.name);
    Identities identities;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT V_IDENT_NO, V_NAME, V_SEX, V_CARD_NO, T_BIRTHDAY, "
                                   "I_AGE FROM %1")
                        .arg(QLatin1String(clientKind().table))))
        return identities;
    while (query.next()) {
        forms::FormContent &client = identities[query.value(0).toString()];
        client.identNo = query.value(0).toString();
        client.name = query.value(1).toString();
        client.sex = sexes.contains(query.value(2).toString()) ? sexes[query.value(2).toString()]
                                                               : QString();
        client.cardNo = query.value(3).toString();
        const QDate birthday = query.value(4).toDate();
        if (birthday.isValid())
            client.birth = birthday.toString(Qt::ISODate);
        else if (!query.value(5).isNull())
            client.birth = query.value(5).toString() + QStringLiteral("岁");
    }
    return identities;
}

// A stored test's form, its client as the client table names them.
forms::FormContent formOf(const StoredTest &test, const Identities &identities)
{
    const auto known = identities.find(test.identNo);
    forms::FormContent form = known != identities.end() ? known->second : forms::FormContent();
    form.form33 = test.form == QLatin1String(kForm33Code);
    form.testTime = test.testTime;
    form.identNo = test.identNo;
    if (form.name.isEmpty())
        form.name = test.name;
    form.doctor = test.doctor;
    form.site = test.site;
    form.answers = test.answers;
    form.record = test.record;
    return form;
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
                         cli::Encoding encoding, const std::function<void(std::int64_t)> &progress,
                         cli::FormFiles *forms)
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
    // Read before the tests: a forward-only query on PostgreSQL holds the
    // connection until its last row.
    const Identities identities = forms ? clientIdentities(db) : Identities();
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
            const StoredTest test = readTest(query.record());
            cli::appendRecord(output.text(), rowOf(test), encoding, result.rows + 1);
            if (forms)
                forms->write(test.identNo.toStdString(), result.rows + 1, formOf(test, identities));
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
