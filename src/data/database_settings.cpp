#include "database_settings.h"

#include "ini_file.h"

#include <QDir>
#include <QStandardPaths>

namespace tizhi {

namespace {

QString valueOf(const std::optional<QString> &value)
{
    return value.value_or(QString()).trimmed();
}

// A TCP port: 1 to 65535, digits only.
std::optional<int> parsePort(const QString &text)
{
    if (text.isEmpty() || text.size() > 5)
        return std::nullopt;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const int port = text.toInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

DatabaseSettingsResult sqliteSettings(const DatabaseSection &section, const QString &configFolder,
                                      const QString &dataFolder)
{
    DatabaseSettings settings;
    settings.driver = DatabaseSettings::Driver::Sqlite;
    const QString name = valueOf(section.name);
    if (name.isEmpty())
        settings.name = QDir(dataFolder).filePath(QStringLiteral("tizhi.sqlite"));
    else
        settings.name = QDir::cleanPath(QDir(configFolder).absoluteFilePath(name));
    return {settings, {}};
}

DatabaseSettingsResult postgresSettings(const DatabaseSection &section)
{
    DatabaseSettings settings;
    settings.driver = DatabaseSettings::Driver::PostgreSql;
    settings.name = valueOf(section.name);
    settings.host = valueOf(section.host);
    settings.user = valueOf(section.user);
    const QString port = valueOf(section.port);
    if (!port.isEmpty()) {
        const auto parsed = parsePort(port);
        if (!parsed)
            return {std::nullopt,
                    QStringLiteral("Config.ini 的 [Database] 中 Port=%1 不是 1 到 65535 的端口号。")
                        .arg(port)};
        settings.port = *parsed;
    }
    return {settings, {}};
}

std::optional<QString> sectionValue(const IniFile &ini, const char *key)
{
    const auto value = ini.value("Database", key);
    if (!value)
        return std::nullopt;
    return QString::fromUtf8(value->data(), qsizetype(value->size()));
}

} // namespace

DatabaseSettingsResult interpretDatabaseSection(const DatabaseSection &section,
                                                const QString &configFolder,
                                                const QString &dataFolder)
{
    const QString driver = valueOf(section.driver).toLower();
    if (driver.isEmpty() || driver == u"sqlite")
        return sqliteSettings(section, configFolder, dataFolder);
    if (driver == u"postgresql")
        return postgresSettings(section);
    return {std::nullopt,
            QStringLiteral(
                "Config.ini 的 [Database] 中 Driver=%1 无法识别，应为 sqlite 或 postgresql。")
                .arg(valueOf(section.driver))};
}

QString programDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tizhi");
}

std::optional<DatabaseSettingsResult> databaseSettingsFromIni(const IniFile &ini,
                                                              const QString &configFolder)
{
    if (!ini.hasSection("Database"))
        return std::nullopt;
    DatabaseSection section;
    section.driver = sectionValue(ini, "Driver");
    section.name = sectionValue(ini, "Name");
    section.host = sectionValue(ini, "Host");
    section.port = sectionValue(ini, "Port");
    section.user = sectionValue(ini, "User");
    return interpretDatabaseSection(section, configFolder, programDataFolder());
}

} // namespace tizhi
