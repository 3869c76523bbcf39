#include "records_main.h"
#include "gcc12_restrict.h"

#include "database.h"
#include "database_backup.h"
#include "file_io.h"
#include "form_files.h"
#include "progress.h"
#include "records_config.h"
#include "records_options.h"
#include "test_export.h"
#include "test_import.h"
#include "tizhi_score_main.h"

#include "export_output.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <memory>
#include <unistd.h>

namespace tizhi::records {

using cli::ExitStatus;

namespace {

ExitStatus complain(const std::string &message)
{
    std::cerr << "tizhi-records: " << message << "\n";
    return ExitStatus::Trouble;
}

ExitStatus complain(const QString &message)
{
    return complain(message.toStdString());
}

ExitStatus usageError(const std::string &message)
{
    std::cerr << "tizhi-records: " << message << "\nTry 'tizhi-records --help'.\n";
    return ExitStatus::Trouble;
}

ExitStatus tell(const std::string &text)
{
    if (cli::writeAll(STDOUT_FILENO, text))
        return ExitStatus::AllScored;
    return complain(std::string("cannot write standard output: ") + std::strerror(errno));
}

bool onTerminal()
{
    return isatty(STDERR_FILENO) == 1;
}

// The database the options name, or why there is none to work on.
ConfiguredDatabase chosenDatabase(const Options &options)
{
    if (options.config)
        return configuredDatabase(givenConfig(QFile::decodeName(options.config->c_str())), true);
    return configuredDatabase(programConfig(QCoreApplication::applicationDirPath()), false);
}

std::string summary(const ImportResult &result)
{
    std::string text =
        "stored " + std::to_string(result.stored) + " of " + std::to_string(result.rows) + " tests";
    if (result.duplicates > 0)
        text += " (" + std::to_string(result.duplicates) + " already stored)";
    return text + "; " + std::to_string(result.newClients) + " new clients";
}

ExitStatus runImport(const Options &options, Database &database)
{
    const std::string &path = options.paths.front();
    const bool named = path != "-";
    const std::string name = named ? "'" + cli::printableBytes(path) + "'" : "standard input";
    const int fd = named ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC) : STDIN_FILENO;
    if (fd < 0)
        return complain("cannot open " + name + " for reading: " + std::strerror(errno));
    cli::FdReadBuffer buffer(fd, name);
    std::istream in(&buffer);
    QSqlDatabase db = database.connection();
    cli::Progress progress(onTerminal(), "tizhi-records: read");
    const ImportResult result = importTests(
        db, in, *options.form, options.encoding, QDateTime::currentDateTime(),
        [](const cli::Diagnostic &diagnostic) {
            std::cerr << cli::formatDiagnostic(diagnostic, "tizhi-records");
        },
        [&progress](std::int64_t rows) { progress.update(rows); });
    progress.finish();
    if (named)
        ::close(fd);
    if (result.status == ExitStatus::RowsWithErrors)
        complain(std::to_string(result.failedRows) + " of " + std::to_string(result.rows) +
                 " rows carry an error; nothing was stored");
    else if (result.status == ExitStatus::Trouble)
        complain(std::string("nothing was stored"));
    else
        std::cerr << "tizhi-records: " << summary(result) << "\n";
    return result.status;
}

ExitStatus runExport(const Options &options, Database &database, cli::FormFiles &forms)
{
    if (options.forms)
        if (const std::string error = forms.openFolder(*options.forms, options.force);
            !error.empty())
            return complain(error);
    ExportOutput output;
    if (const std::string error =
            output.open(options.paths.empty() ? std::nullopt : std::optional(options.paths[0]));
        !error.empty())
        return complain(error);
    QSqlDatabase db = database.connection();
    cli::Progress progress(onTerminal(), "tizhi-records: wrote");
    const auto client =
        options.client ? std::optional(QString::fromStdString(*options.client)) : std::nullopt;
    const ExportResult result = exportTests(
        db, client, output.stream(), options.encoding,
        [&progress](std::int64_t rows) { progress.update(rows); },
        options.forms ? &forms : nullptr);
    progress.finish();
    if (!result.error.empty())
        complain(result.error);
    const std::string failed = output.finish(result.status == ExitStatus::AllScored);
    if (options.forms) {
        forms.finish();
        complain(forms.summary());
    }
    if (!failed.empty() && result.error.empty())
        return complain(failed);
    return forms.failed() ? ExitStatus::Trouble : result.status;
}

ExitStatus run(int &argc, char **argv)
{
    auto parsed = parseRecordsOptions(argc, argv);
    if (const auto *message = std::get_if<std::string>(&parsed))
        return usageError(*message);
    const Options &options = std::get<Options>(parsed);
    if (options.help || options.version)
        return tell(options.help ? kRecordsUsage : recordsVersionText());
    // The database drivers are plugins, which need the application object;
    // with --forms it is the one the forms are drawn with.
    cli::FormFiles forms([](const cli::Diagnostic &diagnostic) {
        std::cerr << cli::formatDiagnostic(diagnostic, "tizhi-records");
    });
    std::unique_ptr<QCoreApplication> application;
    if (!options.forms)
        application = std::make_unique<QCoreApplication>(argc, argv);
    else if (const std::string error = forms.load(); !error.empty())
        return complain(error);
    // The program's name is the window's, whose data folder it shares.
    QCoreApplication::setApplicationName(QStringLiteral("tizhi"));
    const ConfiguredDatabase configured = chosenDatabase(options);
    if (!configured.settings)
        return complain(configured.error);
    if (options.command == Command::Backup) {
        const QString error =
            backUp(*configured.settings, QFile::decodeName(options.paths.front().c_str()));
        return error.isEmpty() ? ExitStatus::AllScored : complain(error);
    }
    if (options.command == Command::Export &&
        configured.settings->driver == DatabaseSettings::Driver::Sqlite &&
        !QFileInfo::exists(configured.settings->name))
        return complain(
            QStringLiteral("there is no database file '%1' yet").arg(configured.settings->name));
    Database database(*configured.settings);
    if (const QString error = database.open(); !error.isEmpty())
        return complain(error);
    return options.command == Command::Import ? runImport(options, database)
                                              : runExport(options, database, forms);
}

} // namespace

int tizhiRecordsMain(int argc, char **argv)
{
    std::cerr.clear();
    try {
        return static_cast<int>(run(argc, argv));
    } catch (const std::exception &error) {
        complain(std::string(error.what()));
    } catch (...) {
        complain(std::string("an unexpected error"));
    }
    return static_cast<int>(ExitStatus::Trouble);
}

} // namespace tizhi::records
