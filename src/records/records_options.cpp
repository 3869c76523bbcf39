#include "records_options.h"

#include "command_line.h"

#include <QCommandLineParser>

namespace tizhi::records {

const char *const kRecordsUsage =
    R"(Usage: tizhi-records import --form 33|66 [--encoding utf-8|gbk] [--config FILE] FILE
       tizhi-records export [--client ID] [--encoding utf-8|gbk] [--config FILE]
                            [--forms DIR [--force]] [FILE]
       tizhi-records backup [--config FILE] FILE

Keeps TCM constitution tests (中医体质辨识) collected on paper in the database
of Tizhi's database edition, and gives them back as CSV.

  import           stores the forms of FILE, in the layouts tizhi-score
                   reads, scored as tizhi-score scores them, for the clients
                   named by its 'id' column (identity numbers; a client not
                   yet stored is created, named by the 'name' column, else by
                   the id). Optional columns: name, time (YYYY-MM-DD or
                   YYYY-MM-DD HH:MM:SS; else the import's time), doctor, site.
                   A file is stored whole or not at all; a test of the same
                   client, form and answers on the same day is stored once.
  export           writes every stored test, or the client's with --client
                   ID, to FILE or standard output: id, name, time, doctor,
                   site, form, then tizhi-score's columns V_YANGXU_FIELD ...
                   V_RESULT_TOTAL; with --forms DIR also each test's
                   record form (PDF) into DIR, made when missing, named by
                   the identity number (DIR/<id>.pdf, a client's further
                   tests <id>-2.pdf ...), a file already there kept unless
                   --force replaces it
  backup           writes a consistent copy of the SQLite database to FILE,
                   also while Tizhi is running
  --form 33|66     the form of the file to import (see tizhi-score --help)
  --encoding gbk   read or write GBK (code page 936) instead of UTF-8
  --config FILE    the settings file naming the database; by default the
                   Config.ini of the tizhi program (/etc/tizhi/Config.ini)
  -h, --help       show this help
  --version        show the program's name and version

Exit status: 0 done; 1 some rows carry an error (nothing was stored);
2 wrong usage, unreadable input, no usable database, or a form that could
not be written.
)";

std::string recordsVersionText()
{
    return "tizhi-records (Tizhi) " TIZHI_VERSION "\n";
}

namespace {

std::optional<Command> commandOf(const QString &word)
{
    if (word == u"import")
        return Command::Import;
    if (word == u"export")
        return Command::Export;
    if (word == u"backup")
        return Command::Backup;
    return std::nullopt;
}

// The one value of an option given at most once.
std::variant<std::optional<std::string>, std::string> single(const QCommandLineParser &parser,
                                                             const QString &name)
{
    const QStringList values = parser.values(name);
    if (values.size() > 1)
        return "--" + name.toStdString() + " is given twice; give it once";
    if (values.isEmpty())
        return std::optional<std::string>();
    return std::optional(cli::argumentBytes(values.front()));
}

// What the command takes of the options, and how many files.
std::optional<std::string> checkFitting(const Options &options)
{
    const std::size_t files = options.paths.size();
    switch (options.command) {
    case Command::Import:
        if (options.client || options.forms || options.force)
            return std::string(options.client  ? "--client"
                               : options.forms ? "--forms"
                                               : "--force") +
                   " is an option of export";
        if (!options.form)
            return "import needs --form 33 or --form 66";
        if (files != 1)
            return "import reads one FILE";
        break;
    case Command::Export:
        if (options.form)
            return "--form is an option of import";
        if (options.force && !options.forms)
            return "--force goes with --forms DIR";
        if (files > 1)
            return "export writes at most one FILE";
        break;
    case Command::Backup:
        if (options.form || options.client || options.forms || options.force)
            return "backup takes no --form, --client, --forms or --force";
        if (files != 1)
            return "backup needs the FILE to write";
        break;
    }
    return std::nullopt;
}

std::optional<std::string> takeValues(const QCommandLineParser &parser, Options &options)
{
    auto form = cli::formOption(parser.values(QStringLiteral("form")));
    if (const auto *message = std::get_if<std::string>(&form))
        return *message;
    options.form = std::get<std::optional<cli::Form>>(form);
    auto encoding = cli::encodingOption(parser.values(QStringLiteral("encoding")));
    if (const auto *message = std::get_if<std::string>(&encoding))
        return *message;
    options.encoding =
        std::get<std::optional<cli::Encoding>>(encoding).value_or(cli::Encoding::Utf8);
    const std::pair<const char *, std::optional<std::string> *> singles[] = {
        {"config", &options.config}, {"client", &options.client}};
    for (const auto &[name, target] : singles) {
        auto value = single(parser, QLatin1String(name));
        if (const auto *message = std::get_if<std::string>(&value))
            return *message;
        *target = std::get<std::optional<std::string>>(value);
    }
    auto forms = cli::formsOption(parser.values(QStringLiteral("forms")));
    if (const auto *message = std::get_if<std::string>(&forms))
        return *message;
    options.forms = std::get<std::optional<std::string>>(forms);
    options.force = parser.isSet(QStringLiteral("force"));
    return std::nullopt;
}

} // namespace

std::variant<Options, std::string> parseRecordsOptions(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << cli::argumentText(argv[i]);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version("version");
    parser.addOptions({help,
                       version,
                       {"form", {}, "33|66"},
                       {"encoding", {}, "utf-8|gbk"},
                       {"config", {}, "FILE"},
                       {"client", {}, "ID"},
                       {"forms", {}, "DIR"},
                       QCommandLineOption(QStringLiteral("force"))});
    if (!parser.parse(arguments))
        return cli::parseErrorText(parser, arguments);
    Options options;
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    if (options.help || options.version)
        return options;
    QStringList words = parser.positionalArguments();
    if (words.isEmpty())
        return std::string("name a command: import, export or backup");
    const auto command = commandOf(words.takeFirst());
    if (!command)
        return "unknown command '" +
               cli::printableBytes(cli::argumentBytes(parser.positionalArguments().front())) +
               "'; the commands are import, export and backup";
    options.command = *command;
    if (auto message = takeValues(parser, options))
        return *message;
    for (const QString &word : words)
        options.paths.push_back(cli::argumentBytes(word));
    if (auto message = checkFitting(options))
        return *message;
    return options;
}

} // namespace tizhi::records
