#include "edition.h"

#include "ini_file.h"
#include "uniChineseMedicinePublic.h"

#include <QDir>

namespace tizhi {

namespace {

std::optional<DatabaseSettings> &chosen()
{
    static std::optional<DatabaseSettings> database;
    return database;
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
    const auto result = databaseSettingsFromIni(ini, folder);
    if (!result)
        return {};
    return {result->settings, result->error};
}

} // namespace tizhi
