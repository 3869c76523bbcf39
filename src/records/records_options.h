// tizhi-records' command line: the command, its options and file names as
// given, its help and its version.
#pragma once

#include "header_columns.h"
#include "text_encoding.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tizhi::records {

enum class Command { Import, Export, Backup };

struct Options {
    bool help = false;
    bool version = false;
    Command command = Command::Import;
    std::optional<cli::Form> form; // import
    cli::Encoding encoding = cli::Encoding::Utf8;
    std::optional<std::string> config; // --config FILE, bytes as given
    std::optional<std::string> client; // export --client ID, bytes as given
    std::optional<std::string> forms;  // export --forms DIR, bytes as given
    bool force = false;                // export --force
    std::vector<std::string> paths;    // after the command, bytes as given
};

// The options of `argv` (argv[0] is the program's name), or a message for
// the user when they are wrong.
std::variant<Options, std::string> parseRecordsOptions(int argc, char **argv);

// What --help prints.
extern const char *const kRecordsUsage;
// What --version prints, ended by a line break.
std::string recordsVersionText();

} // namespace tizhi::records
