#include "records_config.h"

#include "ini_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tizhi::records {

namespace {

// Settings files are small; anything larger is no settings file.
constexpr qint64 kMaxConfigBytes = 16 * 1024 * 1024;

QString shown(const QString &path)
{
    return QStringLiteral("'%1'").arg(QDir::toNativeSeparators(path));
}

} // namespace

ConfigFile programConfig(const QString &commandFolder)
{
    const QFileInfo program(QDir(commandFolder).filePath(QStringLiteral("tizhi")));
    const QString canonical = program.exists() ? program.canonicalFilePath() : QString();
    const QString folder =
        canonical.isEmpty() ? commandFolder : QFileInfo(canonical).absolutePath();
    return {QDir(folder).filePath(QStringLiteral("Config.ini")), folder};
}

ConfigFile givenConfig(const QString &path)
{
    const QFileInfo info(path);
    return {info.absoluteFilePath(), info.absolutePath()};
}

ConfiguredDatabase configuredDatabase(const ConfigFile &config, bool mustExist)
{
    const QString noDatabase =
        QStringLiteral("no database is configured: %1 has no [Database] section")
            .arg(shown(config.path));
    QFile file(config.path);
    if (!file.exists() && !mustExist)
        return {std::nullopt, noDatabase};
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt,
                QStringLiteral("cannot read %1: %2").arg(shown(config.path), file.errorString())};
    const QByteArray bytes = file.read(kMaxConfigBytes + 1);
    if (bytes.size() > kMaxConfigBytes)
        return {std::nullopt,
                QStringLiteral("%1 is too large for a settings file").arg(shown(config.path))};
    const IniFile ini(bytes.toStdString());
    const auto result = databaseSettingsFromIni(ini, config.folder);
    if (!result)
        return {std::nullopt, noDatabase};
    return {result->settings, result->error};
}

} // namespace tizhi::records
