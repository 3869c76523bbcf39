#include "command_line.h"
#include "gcc12_restrict.h"

#include <QCommandLineParser>

namespace tizhi::cli {

const char *const kUsage =
    R"(Usage: tizhi-score --form 33|66 [--encoding utf-8|gbk] [--forms DIR [--force]]
                   [INPUT [OUTPUT]]

Scores TCM constitution forms (中医体质辨识) collected on paper, one client per
CSV row, exactly as Tizhi scores the same answers on screen.

  --form 33        columns q1 ... q33: the answer typed for each question
  --form 66        either the nine item-string columns YangXu, YinXu, QiXu,
                   TanShi, ShiRe, XueYu, QiYu, TeBing, PingHe (e.g. 3;1;;5;)
                   or the 67 answer columns YangXu1 ... YangXu7, YinXu1 ...
                   YinXu8, QiXu1 ... QiXu8, TanShi1 ... TanShi8, ShiRe1 ...
                   ShiRe7, XueYu1 ... XueYu7, QiYu1 ... QiYu7, TeBing1 ...
                   TeBing7, PingHe1 ... PingHe8
  --encoding gbk   read and write GBK (code page 936) instead of UTF-8
  --forms DIR      also write each row scored without an error as a record
                   form (PDF) into DIR, made when missing: DIR/<id>.pdf,
                   the id made safe for a file name, a repeated id numbered
                   (<id>-2.pdf), a row without an id named line-<N>.pdf.
                   Optional columns fill the form's header: name, time
                   (YYYY-MM-DD or YYYY-MM-DD HH:MM:SS), doctor, site.
                   A file already in DIR is kept.
  --force          with --forms, replace files already in DIR
  -h, --help       show this help
  --version        show the program's name and version

The first line names the columns (any case, any order; others are ignored).
An 'id' column is copied to the output. INPUT and OUTPUT default to standard
input and output; '-' names them too.

Output columns: id, then per type V_<TYPE>_FIELD, N_<TYPE>_ORG, N_<TYPE>_CON,
V_<TYPE>_RESULT, then V_CON_TOTAL, V_RESULT_TOTAL and error.

Exit status: 0 every row scored; 1 some rows carry an error in the error
column (or got no form for a time that cannot be read); 2 wrong usage,
unreadable input, or a form that could not be written.
)";

std::string versionText()
{
    return "tizhi-score (Tizhi) " TIZHI_VERSION "\n";
}

// Arguments go to the parser with each byte as the character of the same
// number: options (all ASCII) read as typed, and a file name comes back as
// exactly the bytes given, also when it is no UTF-8 (a name in GBK from an
// archive made on Windows), so two such names never become one.
QString argumentText(const char *bytes)
{
    return QString::fromLatin1(bytes);
}

std::string argumentBytes(const QString &argument)
{
    return argument.toLatin1().toStdString();
}

namespace {

std::string quoted(const QString &argument)
{
    return "'" + printableBytes(argumentBytes(argument)) + "'";
}

std::optional<Form> formOf(const QString &value)
{
    if (value == "33")
        return Form::Items33;
    if (value == "66")
        return Form::Items66;
    return std::nullopt;
}

std::optional<Encoding> encodingOf(const QString &value)
{
    const QString name = value.toLower();
    if (name == "utf-8" || name == "utf8")
        return Encoding::Utf8;
    if (name == "gbk" || name == "cp936")
        return Encoding::Gbk;
    return std::nullopt;
}

// The value of an option that may be given more than once, each time
// meaning the same; nothing when it is not given; else the message.
template <typename T>
std::variant<std::optional<T>, std::string>
settle(const QStringList &values, const std::string &option, const std::string &expected,
       std::optional<T> (*meaning)(const QString &))
{
    std::optional<T> settled;
    QString first;
    for (const QString &value : values) {
        const std::optional<T> meant = meaning(value);
        if (!meant)
            return option + " must be " + expected + ", not " + quoted(value);
        if (settled && *settled != *meant)
            return option + " is given twice, as " + quoted(first) + " and " + quoted(value) +
                   "; give it once";
        if (!settled) {
            settled = meant;
            first = value;
        }
    }
    return settled;
}

} // namespace

std::string parseErrorText(const QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.unknownOptionNames().isEmpty()) {
        const QString name = parser.unknownOptionNames().front();
        return "unknown option '" + std::string(name.size() > 1 ? "--" : "-") +
               printableBytes(argumentBytes(name)) + "'";
    }
    if (arguments.back() == "--form")
        return "--form needs 33 or 66";
    if (arguments.back() == "--encoding")
        return "--encoding needs utf-8 or gbk";
    if (arguments.back() == "--forms")
        return "--forms needs the folder DIR";
    return printableBytes(argumentBytes(parser.errorText()));
}

std::variant<std::optional<Form>, std::string> formOption(const QStringList &values)
{
    return settle<Form>(values, "--form", "33 or 66", formOf);
}

std::variant<std::optional<Encoding>, std::string> encodingOption(const QStringList &values)
{
    return settle<Encoding>(values, "--encoding", "utf-8 or gbk", encodingOf);
}

std::variant<std::optional<std::string>, std::string> formsOption(const QStringList &values)
{
    if (values.size() > 1)
        return std::string("--forms is given twice; give it once");
    if (values.isEmpty())
        return std::optional<std::string>();
    if (values.front().isEmpty())
        return std::string("--forms needs the folder DIR, not an empty name");
    return std::optional(argumentBytes(values.front()));
}

std::variant<Options, std::string> parseOptions(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << argumentText(argv[i]);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version("version");
    const QCommandLineOption form("form", {}, "33|66");
    const QCommandLineOption encoding("encoding", {}, "utf-8|gbk");
    const QCommandLineOption forms("forms", {}, "DIR");
    const QCommandLineOption force("force");
    parser.addOptions({help, version, form, encoding, forms, force});
    if (!parser.parse(arguments))
        return parseErrorText(parser, arguments);

    Options options;
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    if (options.help || options.version)
        return options;
    auto formGiven = formOption(parser.values(form));
    if (const auto *message = std::get_if<std::string>(&formGiven))
        return *message;
    options.form = std::get<std::optional<Form>>(formGiven);
    auto encodingGiven = encodingOption(parser.values(encoding));
    if (const auto *message = std::get_if<std::string>(&encodingGiven))
        return *message;
    options.encoding = std::get<std::optional<Encoding>>(encodingGiven).value_or(Encoding::Utf8);
    auto formsGiven = formsOption(parser.values(forms));
    if (const auto *message = std::get_if<std::string>(&formsGiven))
        return *message;
    options.forms = std::get<std::optional<std::string>>(formsGiven);
    options.force = parser.isSet(force);
    if (options.force && !options.forms)
        return std::string("--force goes with --forms DIR");
    for (const QString &path : parser.positionalArguments())
        options.paths.push_back(argumentBytes(path));
    return options;
}

} // namespace tizhi::cli
