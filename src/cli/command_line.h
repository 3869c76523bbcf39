// tizhi-score's command line: the options and file names as given, its
// help and its version.
#pragma once

#include "header_columns.h"
#include "text_encoding.h"

#include <QStringList>

#include <optional>
#include <string>
#include <variant>
#include <vector>

class QCommandLineParser;

namespace tizhi::cli {

struct Options {
    bool help = false;
    bool version = false;
    std::optional<Form> form;
    Encoding encoding = Encoding::Utf8;
    // --forms DIR, the bytes given; --force.
    std::optional<std::string> forms;
    bool force = false;
    // INPUT and OUTPUT as the bytes given, whatever their encoding.
    std::vector<std::string> paths;
};

// The options of `argv` (argv[0] is the program's name), or a message for
// the user when they are wrong.
std::variant<Options, std::string> parseOptions(int argc, char **argv);

// The pieces of the command line that tizhi-records shares.

// An argument as the parser takes it (each byte the character of the same
// number), and back to the bytes given.
QString argumentText(const char *bytes);
std::string argumentBytes(const QString &argument);
// The values of --form and --encoding as given, each time meaning the same:
// nothing when not given, else the one meant; or the message for the user.
std::variant<std::optional<Form>, std::string> formOption(const QStringList &values);
std::variant<std::optional<Encoding>, std::string> encodingOption(const QStringList &values);
// The value of --forms as given: nothing when not given, else the folder's
// bytes; or the message for the user (given twice, or empty).
std::variant<std::optional<std::string>, std::string> formsOption(const QStringList &values);
// Why the parser refused `arguments`, as the message tells it.
std::string parseErrorText(const QCommandLineParser &parser, const QStringList &arguments);

// What --help prints.
extern const char *const kUsage;
// What --version prints: the program's name and version, ended by a line break.
std::string versionText();

} // namespace tizhi::cli
