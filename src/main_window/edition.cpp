#include "edition.h"

#include "ini_file.h"
#include "uniChineseMedicinePublic.h"

#include <QDir>
#include <QStandardPaths>

namespace tizhi {

namespace {

std::optional<DatabaseSettings> &chosen()
{
    static std::optional<DatabaseSettings> database;
    return database;
}

std::optional<QString> valueOf(const IniFile &ini, const char *key)
{
    const auto value = ini.value("Database", key);
    if (!value)
        return std::nullopt;
    return QString::fromUtf8(value->data(), qsizetype(value->size()));
}

} // namespace

void chooseEdition(std::optional<DatabaseSettings> database)
{
    chosen() = std::move(database);
}

const std::optional<DatabaseSettings> &chosenDatabase()
{
    return chosen();
}

EditionChoice editionFromSettings(const QString &folder)
{
    auto text = settingsFileText(QDir(folder).filePath(QStringLiteral("Config.ini")));
    if (!text)
        return {};
    const IniFile ini(std::move(*text));
    if (!ini.hasSection("Database"))
        return {};
    DatabaseSection section;
    section.driver = valueOf(ini, "Driver");
    section.name = valueOf(ini, "Name");
    section.host = valueOf(ini, "Host");
    section.port = valueOf(ini, "Port");
    section.user = valueOf(ini, "User");
    // The user's data folder under the program's own name, whatever the
    // application object is called.
    const QString dataFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/tizhi");
    const auto result = interpretDatabaseSection(section, folder, dataFolder);
    return {result.settings, result.error};
}

} // namespace tizhi
