// tizhi-records and tizhi-score as the tests run them: real processes, the
// database named by a Config.ini in a folder of the test's own; and the
// files of forms the cases feed them, made from a seeded generator so that
// every run reads the same answers.
#pragma once

#include "database_settings.h"

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>

namespace tizhi::test::records {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

inline Run run(const char *program, const QStringList &arguments, const QString &folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QString::fromLocal8Bit(program), arguments);
    if (!process.waitForStarted() || !process.waitForFinished(600000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

inline Run records(const QStringList &arguments, const QString &folder)
{
    return run(TIZHI_RECORDS_PATH, arguments, folder);
}

inline Run score(const QStringList &arguments, const QString &folder)
{
    return run(TIZHI_SCORE_PATH, arguments, folder);
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The [Database] section that names `settings`; PostgreSQL's host, port,
// user and password come from the PG* variables.
inline QByteArray configFor(const DatabaseSettings &settings)
{
    if (settings.driver == DatabaseSettings::Driver::PostgreSql)
        return "[Database]\nDriver=postgresql\nName=" + settings.name.toUtf8() + "\n";
    return "[Database]\nDriver=sqlite\nName=" + settings.name.toUtf8() + "\n";
}

// A small linear congruential generator: the same answers on every run.
class Answers {
public:
    explicit Answers(std::uint32_t seed) : state_(seed) {}
    // "1" ... "5", or blank about one time in twelve.
    QByteArray next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        const std::uint32_t value = (state_ >> 16) % 12;
        return value == 11 ? QByteArray() : QByteArray::number(value % 5 + 1);
    }

private:
    std::uint32_t state_;
};

enum class Layout { Answers33, ItemStrings66, Rows66 };

// The questionnaire rows of each 66-item type, in type order.
inline const int kRows66[9] = {7, 8, 8, 8, 7, 7, 7, 7, 8};
inline const char *const kTypes66[9] = {"YangXu", "YinXu", "QiXu",   "TanShi", "ShiRe",
                                        "XueYu",  "QiYu",  "TeBing", "PingHe"};

inline QByteArray header(Layout layout)
{
    QByteArrayList names{"id"};
    for (int t = 0; t < 9; ++t) {
        if (layout == Layout::ItemStrings66)
            names << kTypes66[t];
        for (int r = 1; layout == Layout::Rows66 && r <= kRows66[t]; ++r)
            names << kTypes66[t] + QByteArray::number(r);
    }
    for (int k = 1; layout == Layout::Answers33 && k <= 33; ++k)
        names << "q" + QByteArray::number(k);
    return names.join(',');
}

// A file of `rows` forms of clients "P00000", "P00001", ... with seeded answers.
inline QByteArray forms(Layout layout, int rows, std::uint32_t seed)
{
    Answers answers(seed);
    QByteArray text = header(layout) + "\n";
    for (int i = 0; i < rows; ++i) {
        QByteArrayList cells{"P" + QByteArray::number(i).rightJustified(5, '0')};
        for (int t = 0; t < 9 && layout != Layout::Answers33; ++t) {
            QByteArray itemString;
            for (int r = 0; r < kRows66[t]; ++r) {
                const QByteArray answer = answers.next();
                if (layout == Layout::Rows66)
                    cells << answer;
                itemString += answer + ';';
            }
            if (layout == Layout::ItemStrings66)
                cells << itemString;
        }
        for (int k = 0; k < 33 && layout == Layout::Answers33; ++k)
            cells << answers.next();
        text += cells.join(',') + "\n";
    }
    return text;
}

} // namespace tizhi::test::records
