#include "database.h"

#include "schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <fcntl.h>
#include <unistd.h>

namespace tizhi {

namespace {

QString uniqueConnectionName()
{
    static std::atomic<int> count{0};
    return QStringLiteral("tizhi-%1").arg(++count);
}

// Client records are personal data: the folder made for the file and the
// file itself are readable by their owner only. SQLite gives its journal
// files the mode of the database file.
QString prepareSqliteFile(const QString &path)
{
    const QFileInfo info(path);
    QDir folder = info.absoluteDir();
    if (!folder.exists()) {
        if (!QDir().mkpath(folder.absolutePath()))
            return QStringLiteral("无法创建数据库文件夹 %1。").arg(folder.absolutePath());
        QFile::setPermissions(folder.absolutePath(), QFileDevice::ReadOwner |
                                                         QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner);
    }
    if (info.exists()) {
        if (!info.isFile())
            return QStringLiteral("数据库文件 %1 不是普通文件。").arg(path);
        // As the process may open it: by its effective user, which is what
        // SQLite opens the file with.
        const QByteArray name = QFile::encodeName(path);
        if (::faccessat(AT_FDCWD, name.constData(), R_OK, AT_EACCESS) != 0)
            return QStringLiteral("无法读取数据库文件 %1（没有读取权限）。").arg(path);
        if (::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0)
            return QStringLiteral("数据库文件 %1 是只读的，无法保存记录。").arg(path);
        // The journal is written beside the file.
        const QByteArray dir = QFile::encodeName(folder.absolutePath());
        if (::faccessat(AT_FDCWD, dir.constData(), W_OK | X_OK, AT_EACCESS) != 0)
            return QStringLiteral("数据库文件所在的文件夹 %1 是只读的，无法保存记录。")
                .arg(folder.absolutePath());
        return {};
    }
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return QStringLiteral("无法创建数据库文件 %1。").arg(path);
    ::close(fd);
    return {};
}

bool execAll(QSqlDatabase &db, const QStringList &statements, QString *error)
{
    for (const QString &statement : statements) {
        QSqlQuery query(db);
        if (!query.exec(statement)) {
            *error = databaseErrorText(query.lastError());
            return false;
        }
    }
    return true;
}

} // namespace

Database::Database(DatabaseSettings settings)
    : settings_(std::move(settings)), connectionName_(uniqueConnectionName())
{
}

Database::~Database()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(connectionName_, false);
}

bool Database::isOpen() const
{
    return connection().isOpen();
}

QString Database::location() const
{
    if (settings_.driver == DatabaseSettings::Driver::Sqlite)
        return QStringLiteral("文件 %1").arg(QDir::toNativeSeparators(settings_.name));
    const QString host = settings_.host.isEmpty() ? QStringLiteral("本机") : settings_.host;
    const QString port = settings_.port ? QStringLiteral(":%1").arg(settings_.port) : QString();
    const QString name = settings_.name.isEmpty() ? QStringLiteral("（默认）") : settings_.name;
    return QStringLiteral("服务器 %1%2 的数据库 %3").arg(host, port, name);
}

QString Database::open()
{
    const bool sqlite = settings_.driver == DatabaseSettings::Driver::Sqlite;
    QSqlDatabase db = QSqlDatabase::addDatabase(
        sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), connectionName_);
    if (!db.isValid())
        return QStringLiteral("本机缺少 Qt 的 %1 数据库驱动。").arg(db.driverName());
    QString error = sqlite ? openSqlite(db) : openPostgres(db);
    if (error.isEmpty())
        error = prepareSchema(db);
    if (!error.isEmpty())
        db.close();
    return error;
}

QString Database::openSqlite(QSqlDatabase &db)
{
    if (const QString error = prepareSqliteFile(settings_.name); !error.isEmpty())
        return error;
    db.setDatabaseName(settings_.name);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_));
    if (!db.open())
        return QStringLiteral("无法打开数据库文件 %1：%2")
            .arg(settings_.name, databaseErrorText(db.lastError()));
    // WAL lets one workstation read while another writes; the foreign keys
    // keep details from losing their client.
    QString error;
    if (!execAll(db,
                 {QStringLiteral("PRAGMA foreign_keys = ON"),
                  QStringLiteral("PRAGMA journal_mode = WAL")},
                 &error))
        return QStringLiteral("数据库文件 %1 已损坏或不是本程序的数据库：%2")
            .arg(settings_.name, error);
    return {};
}

QString Database::openPostgres(QSqlDatabase &db)
{
    db.setDatabaseName(settings_.name);
    db.setHostName(settings_.host);
    if (settings_.port)
        db.setPort(settings_.port);
    db.setUserName(settings_.user);
    db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    if (!db.open())
        return QStringLiteral("无法连接 PostgreSQL（%1）：%2")
            .arg(location(), db.lastError().databaseText().trimmed());
    return {};
}

bool Database::ensureConnected(QString *error)
{
    QSqlDatabase db = connection();
    if (db.isOpen()) {
        QSqlQuery probe(db);
        if (probe.exec(QStringLiteral("SELECT 1")))
            return true;
    }
    db.close();
    if (db.open()) {
        if (settings_.driver == DatabaseSettings::Driver::Sqlite) {
            QSqlQuery(db).exec(QStringLiteral("PRAGMA foreign_keys = ON"));
        }
        return true;
    }
    *error = QStringLiteral("与数据库的连接已中断（%1）：%2")
                 .arg(location(), db.lastError().databaseText().trimmed());
    return false;
}

QString databaseErrorText(const QSqlError &error)
{
    const QString text = error.databaseText().trimmed();
    if (text.contains(QLatin1String("database is locked")))
        return QStringLiteral("数据库正被另一个程序锁定，等待超时，请稍后再试。");
    if (error.type() == QSqlError::ConnectionError)
        return QStringLiteral("与数据库的连接已中断：%1").arg(text);
    return text.isEmpty() ? error.text() : text;
}

} // namespace tizhi
