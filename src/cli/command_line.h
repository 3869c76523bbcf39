// tizhi-score's command line: the options and file names as given, its
// help and its version.
#pragma once

#include "header_columns.h"
#include "text_encoding.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tizhi::cli {

struct Options {
    bool help = false;
    bool version = false;
    std::optional<Form> form;
    Encoding encoding = Encoding::Utf8;
    // INPUT and OUTPUT as the bytes given, whatever their encoding.
    std::vector<std::string> paths;
};

// The options of `argv` (argv[0] is the program's name), or a message for
// the user when they are wrong.
std::variant<Options, std::string> parseOptions(int argc, char **argv);

// What --help prints.
extern const char *const kUsage;
// What --version prints: the program's name and version, ended by a line break.
std::string versionText();

} // namespace tizhi::cli
