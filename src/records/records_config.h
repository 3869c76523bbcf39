// Which database tizhi-records works on: the one the tizhi program opens,
// as the "Config.ini" it reads says, or as a settings file given on the
// command line says.
#pragma once

#include "database_settings.h"

#include <QString>

#include <optional>

namespace tizhi::records {

// The settings file and the folder its relative names are taken from.
struct ConfigFile {
    QString path;
    QString folder;
};

// The "Config.ini" the tizhi program beside this command reads: the one in
// the program's own folder, links followed (installed, /usr/bin/tizhi links
// to the program folder, whose Config.ini links to /etc/tizhi/Config.ini;
// in the build tree both programs are built into one folder). Without a
// tizhi program beside this command, its own folder.
ConfigFile programConfig(const QString &commandFolder);

// A file given with --config: relative names in it are taken from its folder.
ConfigFile givenConfig(const QString &path);

struct ConfiguredDatabase {
    std::optional<DatabaseSettings> settings;
    QString error; // why there is no database to work on
};

// The database `config` names. `mustExist`: a missing file is an error
// (the file was given); else it reads as a file without a [Database] section.
ConfiguredDatabase configuredDatabase(const ConfigFile &config, bool mustExist);

} // namespace tizhi::records
