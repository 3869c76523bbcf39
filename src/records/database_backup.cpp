#include "database_backup.h"

#include "database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tizhi::records {

namespace {

QString shown(const QString &path)
{
    return QStringLiteral("'%1'").arg(QDir::toNativeSeparators(path));
}

// SQLite writes the copy in one statement from one read transaction: a
// snapshot, also while another connection writes.
QString vacuumInto(const QString &source, const QString &copy)
{
    const QString connection = QStringLiteral("tizhi-records-backup");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(source);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open()) {
            error = databaseErrorText(db.lastError());
        } else {
            QSqlQuery query(db);
            query.prepare(QStringLiteral("VACUUM INTO ?"));
            query.addBindValue(copy);
            if (!query.exec())
                error = databaseErrorText(query.lastError());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

// Puts the file on disk before it takes its name, and the name after.
bool syncAndRename(const QString &from, const QString &to)
{
    const int fd = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!synced ||
        std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return false;
    const int folder = ::open(QFile::encodeName(QFileInfo(to).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

} // namespace

QString backUp(const DatabaseSettings &settings, const QString &target)
{
    if (settings.driver == DatabaseSettings::Driver::PostgreSql)
        return QStringLiteral("the records are kept on a PostgreSQL server, in the database "
                              "'%1'; back them up with the server's own tool, for example: "
                              "pg_dump --format=custom --file=FILE %1")
            .arg(settings.name);
    const QFileInfo source(settings.name);
    if (!source.isFile())
        return QStringLiteral("there is no database file %1 to back up").arg(shown(settings.name));
    const QFileInfo copy(target);
    if (copy.exists() && copy.canonicalFilePath() == source.canonicalFilePath())
        return QStringLiteral("%1 is the database itself; name another file").arg(shown(target));
    if (copy.exists() && !copy.isFile())
        return QStringLiteral("%1 is no regular file").arg(shown(target));
    // The copy is written beside FILE under a name of its own, readable by
    // its owner only (client records are personal data), and takes FILE's
    // name once it is whole.
    QTemporaryFile temporary(copy.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        return QStringLiteral("cannot write %1: %2").arg(shown(target), temporary.errorString());
    temporary.close();
    if (const QString error = vacuumInto(settings.name, temporary.fileName()); !error.isEmpty())
        return QStringLiteral("cannot back up %1: %2").arg(shown(settings.name), error);
    if (!syncAndRename(temporary.fileName(), copy.absoluteFilePath())) {
        const int error = errno;
        return QStringLiteral("cannot write %1: %2")
            .arg(shown(target), QString::fromLocal8Bit(std::strerror(error)));
    }
    temporary.setAutoRemove(false);
    return {};
}

} // namespace tizhi::records
